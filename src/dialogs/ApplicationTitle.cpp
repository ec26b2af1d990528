#include "dialogs/ApplicationTitle.h"

#include <QCoreApplication>

namespace kestrim {
namespace {

// Kept apart from the toolkit's application display name, which the toolkit would append to the
// title of every other window ("検索 — Kestrim" instead of "検索").
QString& StoredTitle()
{
    static QString title;
    return title;
}

} // namespace

QString ApplicationTitle()
{
    return StoredTitle().isEmpty() ? QCoreApplication::applicationName() : StoredTitle();
}

void SetApplicationTitle(const QString& Title)
{
    StoredTitle() = Title;
}

} // namespace kestrim
