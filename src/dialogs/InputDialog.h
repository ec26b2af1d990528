#pragma once
// TIntegerDlg: the small window that TIntegerDialog shows: a prompt, one input box and the OK
// and cancel buttons. OK accepts only a whole number within the bounds; anything else is
// reported with the beep and an error box while the window stays open with the typed text.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrim {

class TIntegerDlg : public QDialog {
    Q_OBJECT

public:
    explicit TIntegerDlg(QWidget* Parent = nullptr);

    int Max() const { return FMax; }
    void SetMax(int Value) { FMax = Value; }
    int Min() const { return FMin; }
    void SetMin(int Value) { FMin = Value; }
    // The message for a text that is not a whole number.
    QString ErrorMessage() const { return FErrorMessage; }
    void SetErrorMessage(const QString& Value) { FErrorMessage = Value; }
    // The message for a number outside the bounds; empty names the bound passed.
    void SetRangeMessage(const QString& Value) { FRangeMessage = Value; }
    // A null character shows what is typed; any other is shown in place of each typed one.
    void SetPasswordChar(QChar Value);

    // The number of the last accepted input.
    int Value() const { return FValue; }

    QLabel* Information;
    QLineEdit* InputValue;
    QPushButton* bbnOK;
    QPushButton* bbnCancel;

private:
    void CreateControls();
    void bbnOKClick();
    void RefuseInput(const QString& Message);

    int FMax;
    int FMin;
    QString FErrorMessage;
    QString FRangeMessage;
    int FValue = 0;
};

} // namespace kestrim
