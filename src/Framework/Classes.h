#pragma once
// Components and ownership, events, and the string list.
#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum TComponentStateFlag : unsigned { csLoading = 1, csDesigning = 2, csDestroying = 4 };

// A component belongs to its owner, which destroys it (last created first).
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    unsigned ComponentState() const { return FComponentState; }
    bool Designing() const { return (FComponentState & csDesigning) != 0; }
    bool Loading() const { return (FComponentState & csLoading) != 0; }
    bool Destroying() const { return (FComponentState & csDestroying) != 0; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int i) const { return FComponents.at(static_cast<size_t>(i)); }

    // Marks the component as being read from its description; Loaded() ends it.
    void BeginLoading() { FComponentState |= csLoading; }
    virtual void Loaded() { FComponentState &= ~static_cast<unsigned>(csLoading); }
    void SetDesigning(bool on) { FComponentState = on ? (FComponentState | csDesigning) : (FComponentState & ~static_cast<unsigned>(csDesigning)); }

    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);
    // Destroys the owned components now (forms do this before their window goes).
    void DestroyComponents();

protected:
    void MarkDestroying() { FComponentState |= csDestroying; }

private:
    TComponent* FOwner = nullptr;
    std::string FName;
    unsigned FComponentState = 0;
    std::vector<TComponent*> FComponents;
};

// Makes a component of one class, owned by AOwner.
using TComponentFactory = std::function<TComponent*(TComponent* AOwner)>;

// The component palette: the component classes a designer or a form
// description can create by class name, each on a named page. Registering a
// class name again replaces its entry, so a unit's registration may run twice.
void RegisterComponents(const std::string& Page, const std::string& ClassName, TComponentFactory Create);
// The palette page of a registered class; empty for a class not registered.
std::string ComponentPage(const std::string& ClassName);
// A new component of a registered class, owned by AOwner; null for a class
// not registered.
TComponent* CreateComponent(const std::string& ClassName, TComponent* AOwner);

// An ordered list of texts, each with an optional object pointer (not owned).
class TStringList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    const std::string& Strings(int i) const;
    void* Objects(int i) const;
    int Add(const std::string& s) { return AddObject(s, nullptr); }
    int AddObject(const std::string& s, void* object);
    void Delete(int i);
    void Clear() { FItems.clear(); }
    void Exchange(int i, int j);
    // Case-insensitive under the user's locale; -1 when absent.
    int IndexOf(const std::string& s) const;
    // Locale-aware, case-insensitive (the platform list's sort).
    void Sort();
    // Lines joined with CR LF, each ended by one.
    std::string Text() const;

private:
    struct Item {
        std::string s;
        void* object;
    };
    void Check(int i) const;
    std::vector<Item> FItems;
};
