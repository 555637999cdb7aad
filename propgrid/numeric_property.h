// Numeric rows: ENumericProperty (precision, unit, typed expressions, range) and the
// integer, float and double kinds.
#pragma once

#include <cstdint>

#include "propgrid/property.h"

class ENumericProperty : public EIconTextButtonProperty {
public:
    // A range with both ends 0 is unbounded.
    ENumericProperty(IPropertyHost* pHost, const CString& sName, void* pProperty,
                     const CString& sUnit, bool bEnabled, double dMin, double dMax);

    ENumericProperty* SetRange(double a, double b);
    // n decimals in the display; -1 selects the automatic format.
    ENumericProperty* SetDecimals(int n);

    bool CommitEditText() override;
    bool GetNumericValue(double* pValue) override;
    bool ValidateEditText() override;
    CString GetTextValue() override;
    bool HasEditBox() override { return m_pProperty != nullptr; }

    virtual double GetValue() = 0;
    // Asks the host, then writes; true when written.
    virtual bool SetValue(double dValue) = 0;
    virtual int GetPrecision() = 0;

    // The typed text as a number: a hexadecimal 0x.., a/b, a*b, a+b, a-b, a number, /b or *b
    // (the last two apply to the current value). Blanks are ignored, trailing text too.
    // False for anything else and for results that are not finite (a division by zero).
    bool ParseText(const CString& text, double* pValue);
    double GetMin() const { return m_dMin; }
    double GetMax() const { return m_dMax; }

protected:
    CString m_sUnit;
    double m_dMin, m_dMax;
    int m_nDecimals = -1;
};

class EPropertyInt : public ENumericProperty {
public:
    EPropertyInt(IPropertyHost* pHost, const CString& sName, int32_t* pProperty,
                 const CString& sUnit, bool bEnabled, int32_t nMin = 0, int32_t nMax = 0);
    double GetValue() override;
    // Truncates toward zero; a value beyond the 32-bit range is refused.
    bool SetValue(double dValue) override;
    int GetPrecision() override { return 10; }
};

class EPropertyFloat : public ENumericProperty {
public:
    EPropertyFloat(IPropertyHost* pHost, const CString& sName, float* pProperty,
                   const CString& sUnit, bool bEnabled, float fMin = 0, float fMax = 0);
    double GetValue() override;
    bool SetValue(double dValue) override;
    int GetPrecision() override { return 6; }
};

class EPropertyDouble : public ENumericProperty {
public:
    EPropertyDouble(IPropertyHost* pHost, const CString& sName, double* pProperty,
                    const CString& sUnit, bool bEnabled, double dMin = 0, double dMax = 0);
    double GetValue() override;
    bool SetValue(double dValue) override;
    int GetPrecision() override { return 12; }
};
