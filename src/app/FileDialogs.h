#pragma once
// The open and save dialogs of the file commands. A filter is written as the configuration
// files write it, "description|wildcards|description|wildcards...", and converted here to
// the toolkit's form.

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace kestrim {

struct TFileDialogOptions {
    enum TKind { Open, Save };
    TKind Kind = Open;
    QString Title;
    QString Filter;
    // Added to a name typed without an extension; empty: nothing is added.
    QString DefaultExt;
    // Open: only an existing file can be chosen.
    bool MustExist = false;
    // Save: asks before an existing file is replaced.
    bool ConfirmOverwrite = false;
    // Where the dialog opens; empty: where the user last chose a file.
    QString Folder;
};

// "Perlスクリプト(*.pl)|*.pl" becomes "Perlスクリプト(*.pl) (*.pl)": each description followed by
// its wildcards in brackets, ";" between wildcards turned into blanks, and "*.*" into "*" so
// that names without an extension are shown as they are on the platform the filters were
// written for. A description without wildcards is dropped.
QStringList QtNameFilters(const QString& Filter);

// Shows the dialog modally; the chosen full file name, or nothing when the user cancelled.
// StartFolder is where the dialog opens.
std::optional<QString> ExecuteFileDialog(QWidget* Parent, const TFileDialogOptions& Options,
                                         const QString& StartFolder);

} // namespace kestrim
