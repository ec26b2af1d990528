#include "dialogs/InputDialog.h"

#include "dialogs/ApplicationTitle.h"
#include "dialogs/DialogPlacement.h"
#include "editor/base/IntConvert.h"
#include "editor/control/SjisQString.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>

#include <climits>

namespace kestrim {
namespace {

constexpr int ClientWidth = 186;
constexpr int ClientHeight = 79;
const QString DefaultErrorMessage = QStringLiteral("整数値を入力してください");

// The input box's style with a masking character of the caller's choice: the toolkit takes
// the masking character from the style only.
class TPasswordCharStyle : public QProxyStyle {
public:
    explicit TPasswordCharStyle(QChar Mask) : FMask(Mask) {}

    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* ReturnData) const override
    {
        if (Hint == SH_LineEdit_PasswordCharacter)
            return FMask.unicode();
        return QProxyStyle::styleHint(Hint, Option, Widget, ReturnData);
    }

private:
    QChar FMask;
};

QPushButton* NewButton(QWidget* Parent, const char* Name, const QString& Caption, QStyle::StandardPixmap Glyph,
                       int Left)
{
    auto* button = new QPushButton(Parent->style()->standardIcon(Glyph), Caption, Parent);
    button->setObjectName(Name);
    button->setGeometry(Left, 48, 81, 25);
    return button;
}

} // namespace

TIntegerDlg::TIntegerDlg(QWidget* Parent)
    : QDialog(Parent), FMax(INT_MAX), FMin(0), FErrorMessage(DefaultErrorMessage)
{
    SetDialogForm(*this, ClientWidth, ClientHeight);
    CreateControls();
    CenterOnScreen(*this);
}

void TIntegerDlg::CreateControls()
{
    Information = new QLabel(this);
    Information->setObjectName("Information");
    // The prompt's line sits 16 pixels above the box; the whole pitch keeps descenders visible.
    Information->setGeometry(8, 8, ClientWidth - 16, 16);

    InputValue = new QLineEdit(this);
    InputValue->setObjectName("InputValue");
    InputValue->setGeometry(8, 24, 169, 20);

    bbnOK = NewButton(this, "bbnOK", QStringLiteral("&OK"), QStyle::SP_DialogOkButton, 8);
    bbnOK->setDefault(true);
    connect(bbnOK, &QPushButton::clicked, this, &TIntegerDlg::bbnOKClick);
    bbnCancel = NewButton(this, "bbnCancel", QStringLiteral("キャンセル(&C)"), QStyle::SP_DialogCancelButton, 96);
    connect(bbnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TIntegerDlg::SetPasswordChar(QChar Value)
{
    if (Value.isNull()) {
        InputValue->setEchoMode(QLineEdit::Normal);
        return;
    }
    auto* style = new TPasswordCharStyle(Value);
    style->setParent(InputValue);
    InputValue->setStyle(style);
    InputValue->setEchoMode(QLineEdit::Password);
}

// An empty box means the user changed their mind: it closes like Cancel, without a message.
void TIntegerDlg::bbnOKClick()
{
    const QString text = InputValue->text();
    if (text.isEmpty()) {
        reject();
        return;
    }
    const std::optional<int> value = ParseEnteredInteger(QStringToSjis(text));
    if (!value) {
        RefuseInput(FErrorMessage);
        return;
    }
    if (*value < FMin) {
        RefuseInput(FRangeMessage.isEmpty()
                        ? QStringLiteral("値が小さすぎます\r\n%1 以上の数値を入力して下さい").arg(FMin) : FRangeMessage);
        return;
    }
    if (*value > FMax) {
        RefuseInput(FRangeMessage.isEmpty()
                        ? QStringLiteral("値が大きすぎます\r\n%1 以下の数値を入力して下さい").arg(FMax) : FRangeMessage);
        return;
    }
    FValue = *value;
    accept();
}

// The window stays open with the text selected in place, ready to be corrected.
void TIntegerDlg::RefuseInput(const QString& Message)
{
    QApplication::beep();
    QMessageBox::critical(this, ApplicationTitle(), Message, QMessageBox::Ok);
    InputValue->setFocus();
    InputValue->selectAll();
}

} // namespace kestrim
