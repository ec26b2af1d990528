#include "app/FileDialogs.h"

#include <QFileDialog>

namespace kestrim {
namespace {

QString QtWildcards(const QString& Wildcards)
{
    QStringList patterns;
    for (QString pattern : Wildcards.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        if (!pattern.isEmpty())
            patterns << pattern;
    }
    return patterns.join(QLatin1Char(' '));
}

} // namespace

QStringList QtNameFilters(const QString& Filter)
{
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString wildcards = QtWildcards(parts[i + 1]);
        if (!wildcards.isEmpty())
            filters << parts[i] + QStringLiteral(" (") + wildcards + QLatin1Char(')');
    }
    return filters;
}

std::optional<QString> ExecuteFileDialog(QWidget* Parent, const TFileDialogOptions& Options,
                                         const QString& StartFolder)
{
    QFileDialog dialog(Parent, Options.Title, StartFolder);
    const bool save = Options.Kind == TFileDialogOptions::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && Options.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The filters' descriptions already name their wildcards, as the configuration writes them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !Options.ConfirmOverwrite);
    const QStringList filters = QtNameFilters(Options.Filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    QString defaultExt = Options.DefaultExt;
    if (defaultExt.startsWith(QLatin1Char('.')))
        defaultExt.remove(0, 1);
    dialog.setDefaultSuffix(defaultExt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace kestrim
