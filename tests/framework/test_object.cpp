// Run-time class information: derivation chains, creation by class and by name.
#include "framework/core.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CCircle : public CShape
{
    DECLARE_DYNCREATE(CCircle)
public:
    int m_nRadius = 3;
};
IMPLEMENT_DYNCREATE(CCircle, CShape)

class CBadge : public CCircle
{
    DECLARE_SERIAL(CBadge)
};
IMPLEMENT_SERIAL(CBadge, CCircle, 2)
} // namespace

TEST(CRuntimeClass, IsKindOfFollowsTheBaseChainOnly)
{
    CCircle circle;
    CBadge badge;
    struct Case {
        const CObject* obj;
        CRuntimeClass* cls;
        bool want;
    };
    const Case cases[] = {
        {&circle, RUNTIME_CLASS(CObject), true}, {&circle, RUNTIME_CLASS(CShape), true},
        {&circle, RUNTIME_CLASS(CCircle), true}, {&circle, RUNTIME_CLASS(CBadge), false},
        {&badge, RUNTIME_CLASS(CShape), true},   {&badge, RUNTIME_CLASS(CObArray), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cls->m_lpszClassName);
        EXPECT_EQ(c.obj->IsKindOf(c.cls), c.want);
    }
    EXPECT_EQ(badge.GetRuntimeClass(), RUNTIME_CLASS(CBadge));
    EXPECT_STREQ(badge.GetRuntimeClass()->m_lpszClassName, "CBadge");
    EXPECT_EQ(RUNTIME_CLASS(CBadge)->m_nObjectSize, static_cast<int>(sizeof(CBadge)));
    EXPECT_TRUE(badge.IsSerializable());
    EXPECT_FALSE(circle.IsSerializable());

    CStringList list;
    EXPECT_TRUE(list.IsKindOf(RUNTIME_CLASS(CStringList)));
    EXPECT_FALSE(list.IsKindOf(RUNTIME_CLASS(CPtrList)));
}

TEST(CRuntimeClass, CreatesOnlyDynCreateClassesByClassOrName)
{
    std::unique_ptr<CObject> made(RUNTIME_CLASS(CCircle)->CreateObject());
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_EQ(static_cast<CCircle*>(made.get())->m_nRadius, 3);

    EXPECT_EQ(RUNTIME_CLASS(CShape)->CreateObject(), nullptr); // DECLARE_DYNAMIC only

    std::unique_ptr<CObject> byName(CRuntimeClass::CreateObject("CBadge"));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->GetRuntimeClass(), RUNTIME_CLASS(CBadge));
    EXPECT_EQ(CRuntimeClass::FromName("CShape"), RUNTIME_CLASS(CShape));
    EXPECT_EQ(CRuntimeClass::FromName("CObject"), RUNTIME_CLASS(CObject));
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::CreateObject("CNoSuchClass"), nullptr);
}

TEST(CRuntimeClass, DynamicDowncastChecksTheClass)
{
    CCircle circle;
    CObject* obj = &circle;
    EXPECT_EQ(DYNAMIC_DOWNCAST(CShape, obj), &circle);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CBadge, obj), nullptr);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CShape, static_cast<CObject*>(nullptr)), nullptr);
    EXPECT_EQ(STATIC_DOWNCAST(CCircle, obj)->m_nRadius, 3);
}
