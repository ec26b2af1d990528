#include "app/UserDialogs.h"

#include "app/StandardLibrary.h"
#include "dialogs/About.h"
#include "dialogs/ApplicationTitle.h"
#include "editor/base/Exceptions.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace kestrim {
namespace {

// Messages are written with CR LF line breaks; the toolkit's boxes break lines at LF.
QString DisplayText(QString Text)
{
    return Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

std::optional<QString> TQtUserDialogs::ChooseFile(const TFileDialogOptions& Options)
{
    std::optional<QString> name =
        ExecuteFileDialog(FParent, Options, Options.Folder.isEmpty() ? FLastFolder : Options.Folder);
    if (name)
        FLastFolder = QFileInfo(*name).absolutePath();
    return name;
}

void AskToSave(TUserDialogs& Dialogs, const QString& Name, const std::function<void()>& Save)
{
    switch (Dialogs.AskYesNoCancel(Name + QStringLiteral("\r\nの内容は変更されています。\r\n保存しますか？"))) {
    case TSaveAnswer::Yes:
        Save();
        break;
    case TSaveAnswer::No:
        break;
    case TSaveAnswer::Cancel:
        throw EAbort();
    }
}

TSaveAnswer TQtUserDialogs::AskYesNoCancel(const QString& Text)
{
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), DisplayText(Text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, FParent);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return TSaveAnswer::Yes;
    case QMessageBox::No: return TSaveAnswer::No;
    default: return TSaveAnswer::Cancel;
    }
}

void TQtUserDialogs::ShowError(const QString& Text)
{
    QMessageBox::critical(FParent, ApplicationTitle(), DisplayText(Text));
}

void TQtUserDialogs::ShowMessage(const QString& Text)
{
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), DisplayText(Text), QMessageBox::Ok, FParent);
    box.exec();
}

void TQtUserDialogs::ShowInformation(const QString& Text)
{
    QMessageBox::information(FParent, ApplicationTitle(), DisplayText(Text));
}

void TQtUserDialogs::ErrorMessage(const QString& Text)
{
    kestrim::ErrorMessage(FParent, DisplayText(Text));
}

void TQtUserDialogs::ShowAbout(TAboutDialog& Dialog)
{
    Dialog.Execute();
}

} // namespace kestrim
