#include "app/UserDialogs.h"

#include "app/StandardLibrary.h"
#include "dialogs/About.h"
#include "dialogs/ApplicationTitle.h"

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

bool TQtUserDialogs::AskOpenAsUtf8(const QString& FileName)
{
    QMessageBox box(QMessageBox::Question, ApplicationTitle(),
                    FileName + QStringLiteral("\nは UTF-8 で書かれたテキストのようです。UTF-8 として開きますか？"),
                    QMessageBox::NoButton, FParent);
    box.setInformativeText(QStringLiteral("UTF-8 として開くと Shift-JIS に変換して編集し、保存するときに UTF-8 に戻します。"
                                          "「そのまま開く」はこれまでどおりファイルのバイトをそのまま読みます。"));
    QPushButton* utf8 = box.addButton(QStringLiteral("UTF-8 として開く(&U)"), QMessageBox::AcceptRole);
    QPushButton* bytes = box.addButton(QStringLiteral("そのまま開く(&B)"), QMessageBox::RejectRole);
    box.setDefaultButton(bytes);
    box.setEscapeButton(bytes);
    box.exec();
    return box.clickedButton() == utf8;
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
