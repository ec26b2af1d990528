#pragma once
// Everything modal the main window asks or tells the user, behind one interface so that
// tests can answer in place of the user.

#include "app/FileDialogs.h"

#include <QString>

#include <functional>

#include <optional>

class QWidget;

namespace kestrim {

class TAboutDialog;

enum class TSaveAnswer { Yes, No, Cancel };

class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;

    // The chosen full file name, or nothing when the user cancelled.
    virtual std::optional<QString> ChooseFile(const TFileDialogOptions& Options) = 0;
    // A question with Yes, No and Cancel; closing the box is Cancel.
    virtual TSaveAnswer AskYesNoCancel(const QString& Text) = 0;
    // The error display of the commands: the error's text, titled with the application title.
    virtual void ShowError(const QString& Text) = 0;
    // A plain message box.
    virtual void ShowMessage(const QString& Text) = 0;
    // An information box: what the user asked for has happened (a stopped run).
    virtual void ShowInformation(const QString& Text) = 0;
    // The error sound and an error box with an OK button.
    virtual void ErrorMessage(const QString& Text) = 0;
    virtual void ShowAbout(TAboutDialog& Dialog) = 0;
};

// The save question of a changed text named Name ("<Name> の内容は変更されています。保存しますか？"):
// Yes saves with Save, No goes on without, Cancel raises EAbort so that what asked ends too.
void AskToSave(TUserDialogs& Dialogs, const QString& Name, const std::function<void()>& Save);

// The real dialogs, owned by Parent.
class TQtUserDialogs : public TUserDialogs {
public:
    explicit TQtUserDialogs(QWidget* Parent) : FParent(Parent) {}

    std::optional<QString> ChooseFile(const TFileDialogOptions& Options) override;
    TSaveAnswer AskYesNoCancel(const QString& Text) override;
    void ShowError(const QString& Text) override;
    void ShowMessage(const QString& Text) override;
    void ShowInformation(const QString& Text) override;
    void ErrorMessage(const QString& Text) override;
    void ShowAbout(TAboutDialog& Dialog) override;

private:
    QWidget* FParent;
    // The file dialogs open where the user last chose a file.
    QString FLastFolder;
};

} // namespace kestrim
