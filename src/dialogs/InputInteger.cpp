#include "dialogs/InputInteger.h"

#include "dialogs/ApplicationTitle.h"
#include "dialogs/InputDialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

namespace kestrim {
namespace {

const QString DefaultInformation = QStringLiteral("整数値を入力してください");

} // namespace

TIntegerDialog::TIntegerDialog(QObject* Parent)
    : QObject(Parent)
{
}

void TIntegerDialog::SetMax(int Value)
{
    FMax = Value;
    if (FMin > FMax)
        FMin = FMax;
}

void TIntegerDialog::SetMin(int Value)
{
    FMin = Value;
    if (FMax < FMin)
        FMax = FMin;
}

bool TIntegerDialog::Execute()
{
    // The active window only keeps the form above it; the form centres itself on the screen.
    TIntegerDlg form(QApplication::activeWindow());
    form.SetMax(FMax);
    form.SetMin(FMin);
    form.setWindowTitle(FCaption.isEmpty() ? ApplicationTitle() : FCaption);
    form.Information->setText(FInformation.isEmpty() ? DefaultInformation : FInformation);
    form.SetPasswordChar(FPasswordChar);
    if (!FErrorMessage.isEmpty())
        form.SetErrorMessage(FErrorMessage);
    form.SetRangeMessage(FRangeMessage);
    if (form.exec() != QDialog::Accepted)
        return false;
    FValue = form.Value();
    return true;
}

} // namespace kestrim
