// IPropertyHost: how a model object exposes its members to the property grid.
#pragma once

class EPropList;

// Every bound member is named by its address. The grid asks the host before it writes a
// member; the member still holds the old value during the call.
class IPropertyHost {
public:
    // Adds pages and typed properties bound to this host's members.
    virtual void FillProperties(EPropList* pList) {}
    // pProperty: the bound member; pNewValue: the proposed value in the member's own type, or
    // null when a child host's member changed. True allows the change.
    virtual bool OnPropertyChange(void* pProperty, void* pNewValue) { return true; }
    // True when the member may be edited now.
    virtual bool IsPropertyEditable(void* pProperty) { return true; }

protected:
    ~IPropertyHost() = default; // hosts are never deleted through this interface
};
