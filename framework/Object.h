// CObject and run-time class information: every framework class that the program creates by
// class (threads, pages) or asks for its class name derives from CObject and declares its
// class with DECLARE_DYNAMIC or DECLARE_DYNCREATE.
#pragma once

class CObject;

// One static record per class: its name, size, creation function and base class.
struct CRuntimeClass
{
    const char* m_lpszClassName;
    int m_nObjectSize;
    unsigned int m_wSchema;
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;

    // A new object of the class, or null when the class was declared without DYNCREATE.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class CObject
{
public:
    virtual ~CObject() = default;
    virtual CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* pClass) const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                           \
public:                                                                                       \
    static CRuntimeClass class##class_name;                                                   \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                         \
    DECLARE_DYNAMIC(class_name)                                                               \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                  \
    CRuntimeClass class_name::class##class_name = {#class_name, sizeof(class_name), wSchema,   \
                                                   pfnNew, RUNTIME_CLASS(base_class_name)};   \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                        \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                      \
    CObject* class_name::CreateObject() { return new class_name; }                            \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

// The object as the class when it is one (or derives from it), else null.
#define DYNAMIC_DOWNCAST(class_name, object)                                                  \
    ((object) && (object)->IsKindOf(RUNTIME_CLASS(class_name))                                \
         ? static_cast<class_name*>(object)                                                   \
         : nullptr)
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))
