#pragma once
// TAboutBox: the small window that TAboutDialog shows: icon, three centred lines in a frame,
// a picture and the OK button.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace kestrim {

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* Parent = nullptr);

    QFrame* Bevel1;
    QLabel* Icon;
    QLabel* Title;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Image1;
    QPushButton* Button1;

private:
    void CreateControls();
};

} // namespace kestrim
