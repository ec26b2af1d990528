#pragma once
// Small routines of the desktop: opening a document with its default application, and the
// error message with its sound.

#include <QString>

class QWidget;

namespace kestrim {

// Whether Folder exists and can be entered.
bool FolderCanBeEntered(const QString& Folder);

enum class TShellOpenResult { Opened, NotFound, Failed };

// Opens the file FileName of Folder with the desktop's default application for it.
TShellOpenResult ShellOpen(const QString& Folder, const QString& FileName);

// The error sound, then a modal error box with an OK button titled with the application title.
void ErrorMessage(QWidget* Parent, const QString& Text);

} // namespace kestrim
