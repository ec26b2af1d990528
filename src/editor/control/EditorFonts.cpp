#include "editor/control/EditorFonts.h"

#include <QStringList>

namespace kestrim {

void SubstituteEditorFonts()
{
    const QStringList monospace = {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                                   QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")};
    QFont::insertSubstitutions(QStringLiteral("FixedSys"), monospace);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), monospace);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
}

QFont DefaultEditorFont()
{
    QFont font(QStringLiteral("FixedSys"));
    font.setPixelSize(15);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace kestrim
