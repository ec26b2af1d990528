#pragma once
// Change notification for the editor's option objects, colour settings and highlighting
// definitions: an object tells its owner (or every editor watching it) that one of its values
// changed, and an owner can batch several changes into one notification.

#include "editor/base/Object.h"
#include "editor/base/StringList.h"

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

namespace kestrim {

// An event handler: code called with the object that sends the event. A handler made with Of()
// remembers its object and member function, so that it can be found again and removed.
class TNotifyEvent {
public:
    using Code = std::function<void(TObject* Sender)>;

    TNotifyEvent() = default;
    // A handler that has no identity: it never equals another handler.
    TNotifyEvent(Code Handler) : FCode(std::move(Handler)) {}

    // Object's member function Method as a handler; equal to every other handler made from the
    // same object and member function.
    template <auto Method, typename C>
    static TNotifyEvent Of(C* Object)
    {
        TNotifyEvent event([Object](TObject* sender) { (Object->*Method)(sender); });
        event.FObject = Object;
        event.FMethodKey = &MethodKey<Method>;
        return event;
    }

    void operator()(TObject* Sender) const
    {
        if (FCode)
            FCode(Sender);
    }
    explicit operator bool() const { return static_cast<bool>(FCode); }
    bool operator==(const TNotifyEvent& Other) const
    {
        return FMethodKey != nullptr && FObject == Other.FObject && FMethodKey == Other.FMethodKey;
    }

private:
    template <auto Method>
    static inline const char MethodKey = 0; // one distinct address per member function

    Code FCode;
    const void* FObject = nullptr;
    const void* FMethodKey = nullptr;
};

// An option object with one change event and an update counter.
class TNotifyPersistent : public TPersistent {
public:
    TNotifyEvent OnChange;

    // Fires OnChange unless an update is in progress.
    virtual void Changed();
    virtual void BeginUpdate();
    // Ends one level of BeginUpdate; the last one fires Changed, even when nothing changed.
    virtual void EndUpdate();
    // A change of a sub-object: Changed, unless Sender is this object itself.
    virtual void ChangedProc(TObject* Sender);

    int UpdateCount() const { return FUpdateCount; }

protected:
    // The rule for every setter of an option object: Value is stored, and Changed fired, only
    // when it differs from what Field holds.
    template <typename T>
    void Store(T& Field, const std::type_identity_t<T>& Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }

private:
    int FUpdateCount = 0;
};

class TCollection;

// Runs Body between Target's BeginUpdate and EndUpdate, so that a batch of changes notifies
// once; the update ends even when Body throws, so that the object keeps notifying afterwards.
template <typename T, typename F>
void WithinUpdate(T& Target, F&& Body)
{
    Target.BeginUpdate();
    try {
        Body();
    } catch (...) {
        Target.EndUpdate();
        throw;
    }
    Target.EndUpdate();
}

// One item of a collection; the collection owns it.
class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection) : FCollection(Collection) {}
    TCollection* Collection() const { return FCollection; }
    int Index() const;

protected:
    // Tells the collection that this item (or, with AllItems, every item) changed.
    void Changed(bool AllItems);

private:
    TCollection* FCollection;
};

// An owned, ordered list of items of one kind; descendants create their kind in CreateItem.
class TCollection : public TPersistent {
public:
    TCollectionItem* Add();
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;

    // Copies the items of another collection (Assign of each new item from its source item),
    // inside one update that ends even when an item cannot be added or copied.
    void Assign(const TPersistent& Source) override;
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // Runs Update(nullptr) unless an update is in progress.
    void Changed();

protected:
    virtual std::unique_ptr<TCollectionItem> CreateItem() = 0;
    // Runs after a change: Item is the changed item, or nullptr when the whole collection changed.
    virtual void Update(TCollectionItem* /*Item*/) {}

private:
    friend class TCollectionItem;
    std::vector<std::unique_ptr<TCollectionItem>> FItems;
    int FUpdateCount = 0;
};

// A collection with a change event and an owner.
class TNotifyCollection : public TCollection {
public:
    explicit TNotifyCollection(TObject* Owner) : FOwner(Owner) {}
    TObject* Owner() const { return FOwner; }

    TNotifyEvent OnChange;

    // A change of a sub-object: the collection's own change step, unless Sender is the
    // collection itself.
    virtual void ChangedProc(TObject* Sender);

protected:
    void Update(TCollectionItem* Item) override;

private:
    TObject* FOwner;
};

// A list of handlers, each an owned copy.
class TMethodList {
public:
    virtual ~TMethodList() = default;
    virtual int Add(const TNotifyEvent& Handler);
    // Removes the last entry equal to Handler; nothing when there is none.
    virtual void Remove(const TNotifyEvent& Handler);
    void Clear() { FHandlers.clear(); }
    int Count() const { return static_cast<int>(FHandlers.size()); }
    const TNotifyEvent& Items(int Index) const;

private:
    std::vector<TNotifyEvent> FHandlers;
};

// A change event with many listeners, for an object that several editors watch. Every
// handler is called with the owner, not the list, as Sender.
class TNotifyEventList : public TNotifyPersistent {
public:
    explicit TNotifyEventList(TObject* Owner) : FOwner(Owner) {}
    TObject* Owner() const { return FOwner; }

    void Changed() override;
    virtual void Add(const TNotifyEvent& Handler);
    virtual void Remove(const TNotifyEvent& Handler);
    int Count() const { return FMethodList.Count(); }

private:
    TObject* FOwner;
    TMethodList FMethodList;
};

// The common base of the editor library's non-visual components.
class TStoreComponent : public TPersistent {
};

// A component with a list of file extensions it stands for (".pl", ".pm"), sorted, without
// duplicates and compared without regard to case.
class TFileExtComponent : public TStoreComponent {
public:
    // The list is made on first use, so that descendants' InitFileExtList takes part.
    TStringList& FileExtList();
    virtual void SetFileExtList(const TStrings& Value);
    virtual bool HasExtension(const std::string& Ext);

protected:
    virtual std::unique_ptr<TStringList> CreateFileExtList();
    // Adds the default extensions; empty here.
    virtual void InitFileExtList() {}

private:
    std::unique_ptr<TStringList> FFileExtList;
};

} // namespace kestrim
