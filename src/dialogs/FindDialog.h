#pragma once
// TFindDialog: the modeless find window: the text to find, the direction, match case and whole
// word, and a Find next button that asks its owner to search. It stays open between searches.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestrim {

class TFindDialog : public QDialog {
    Q_OBJECT

public:
    explicit TFindDialog(QWidget* Parent = nullptr);

    QString FindText() const;
    void SetFindText(const QString& Value);
    // Searching towards the end of the text; the window starts with this direction.
    bool Down() const;
    void SetDown(bool Value);
    bool MatchCase() const;
    void SetMatchCase(bool Value);
    bool WholeWord() const;
    void SetWholeWord(bool Value);

    // Shows the window without blocking the owner, or brings it to the front, with the text
    // selected for typing over.
    void Execute();

    QLineEdit* edtFindText;
    QCheckBox* chkWholeWord;
    QCheckBox* chkMatchCase;
    QRadioButton* rbnUp;
    QRadioButton* rbnDown;
    QPushButton* bbnFindNext;
    QPushButton* bbnCancel;

signals:
    // Find next was pressed with a text to find.
    void OnFind();

private:
    void CreateControls();
    QWidget* CreateDirectionBox();
    QWidget* CreateButtons();
};

} // namespace kestrim
