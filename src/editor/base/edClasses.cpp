#include "editor/base/edClasses.h"

#include "editor/base/Exceptions.h"

#include <algorithm>

namespace kestrim {

// --- TNotifyPersistent

void TNotifyPersistent::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

void TNotifyPersistent::BeginUpdate()
{
    ++FUpdateCount;
}

void TNotifyPersistent::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

void TNotifyPersistent::ChangedProc(TObject* Sender)
{
    if (Sender != this)
        Changed();
}

// --- TCollection

int TCollectionItem::Index() const
{
    const auto& items = FCollection->FItems;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == this)
            return static_cast<int>(i);
    return -1;
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TCollectionItem* TCollection::Add()
{
    FItems.push_back(CreateItem());
    TCollectionItem* item = FItems.back().get();
    Changed();
    return item;
}

void TCollection::Delete(int Index)
{
    CheckListIndex(Index, Count());
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    FItems.clear();
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const
{
    CheckListIndex(Index, Count());
    return FItems[static_cast<size_t>(Index)].get();
}

void TCollection::Assign(const TPersistent& Source)
{
    const auto* source = dynamic_cast<const TCollection*>(&Source);
    if (!source)
        return TPersistent::Assign(Source);
    if (source == this)
        return;
    WithinUpdate(*this, [&] {
        FItems.clear();
        for (const auto& item : source->FItems)
            Add()->Assign(*item);
    });
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TNotifyCollection::ChangedProc(TObject* Sender)
{
    if (Sender != this)
        Changed();
}

void TNotifyCollection::Update(TCollectionItem* /*Item*/)
{
    if (OnChange)
        OnChange(this);
}

// --- TMethodList, TNotifyEventList

int TMethodList::Add(const TNotifyEvent& Handler)
{
    FHandlers.push_back(Handler);
    return Count() - 1;
}

void TMethodList::Remove(const TNotifyEvent& Handler)
{
    const auto found = std::find(FHandlers.rbegin(), FHandlers.rend(), Handler);
    if (found != FHandlers.rend())
        FHandlers.erase(std::next(found).base());
}

const TNotifyEvent& TMethodList::Items(int Index) const
{
    CheckListIndex(Index, Count());
    return FHandlers[static_cast<size_t>(Index)];
}

void TNotifyEventList::Changed()
{
    if (UpdateCount() != 0)
        return;
    // A handler may add or remove handlers; the ones present when the change began are called.
    std::vector<TNotifyEvent> handlers;
    for (int i = 0; i < FMethodList.Count(); ++i)
        handlers.push_back(FMethodList.Items(i));
    for (const TNotifyEvent& handler : handlers)
        handler(FOwner);
}

void TNotifyEventList::Add(const TNotifyEvent& Handler)
{
    FMethodList.Add(Handler);
}

void TNotifyEventList::Remove(const TNotifyEvent& Handler)
{
    FMethodList.Remove(Handler);
}

// --- TFileExtComponent

TStringList& TFileExtComponent::FileExtList()
{
    if (!FFileExtList) {
        FFileExtList = CreateFileExtList();
        InitFileExtList();
    }
    return *FFileExtList;
}

void TFileExtComponent::SetFileExtList(const TStrings& Value)
{
    FileExtList().Assign(Value);
}

bool TFileExtComponent::HasExtension(const std::string& Ext)
{
    int index = 0;
    return FileExtList().Find(Ext, index);
}

std::unique_ptr<TStringList> TFileExtComponent::CreateFileExtList()
{
    auto list = std::make_unique<TStringList>();
    list->SetSorted(true);
    list->SetDuplicates(TDuplicates::dupIgnore);
    return list;
}

} // namespace kestrim
