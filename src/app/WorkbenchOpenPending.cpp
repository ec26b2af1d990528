// Until the workbench file commands arrive, a workbench file cannot be opened.
#include "app/Main.h"

#include "editor/base/Exceptions.h"

namespace kestrim {

void TfrmKestrim::OpenWorkbenchFile(const QString&)
{
    throw Exception("ワークベンチを開く機能はまだありません");
}

} // namespace kestrim
