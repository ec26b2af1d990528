#include "editor/base/Exceptions.h"

namespace kestrim {

const char* const SListIndexError = "リストのインデックスが範囲を超えています";

void CheckListIndex(int Index, int Count)
{
    if (Index < 0 || Index >= Count)
        throw EStringListError(SListIndexError);
}

} // namespace kestrim
