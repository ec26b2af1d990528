#include "app/ProgramVersion.h"

namespace kestrim {

QString ProgramVersion()
{
    return QString::fromLatin1(KESTRIM_VERSION);
}

} // namespace kestrim
