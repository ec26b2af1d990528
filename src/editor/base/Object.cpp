#include "editor/base/Object.h"

#include "editor/base/Exceptions.h"

namespace kestrim {

void TPersistent::Assign(const TPersistent& /*Source*/)
{
    throw Exception("この種類のオブジェクトには代入できません");
}

} // namespace kestrim
