#pragma once
// TIntegerDialog: asks the user for one whole number within bounds in a small modal window.
// The main window keeps one for its go-to-line command.

#include <QObject>
#include <QString>

#include <climits>

namespace kestrim {

class TIntegerDialog : public QObject {
    Q_OBJECT

public:
    explicit TIntegerDialog(QObject* Parent = nullptr);

    // Window title; empty shows the application's title.
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value) { FCaption = Value; }
    // The prompt above the input box; empty shows the default prompt.
    QString Information() const { return FInformation; }
    void SetInformation(const QString& Value) { FInformation = Value; }
    // When not null, the input box shows this character in place of each typed one.
    QChar PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(QChar Value) { FPasswordChar = Value; }
    // The message for a text that is not a whole number; empty shows the default message.
    QString ErrorMessage() const { return FErrorMessage; }
    void SetErrorMessage(const QString& Value) { FErrorMessage = Value; }
    // The message for a number outside the accepted range; empty shows the message that names
    // the bound passed.
    QString RangeMessage() const { return FRangeMessage; }
    void SetRangeMessage(const QString& Value) { FRangeMessage = Value; }
    // The accepted range; Min <= Max always holds: moving one bound past the other moves both.
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);

    // The number entered by the last confirmed Execute.
    int Value() const { return FValue; }

    // Shows the window modally; true with Value set when the user confirms a valid number,
    // false when they cancel or confirm an empty box.
    bool Execute();

private:
    QString FCaption;
    QString FInformation;
    QChar FPasswordChar;
    QString FErrorMessage;
    QString FRangeMessage;
    int FMax = INT_MAX;
    int FMin = 0;
    int FValue = 0;
};

} // namespace kestrim
