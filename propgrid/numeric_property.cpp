// Numeric rows: display with precision and unit, typed expressions, range and the three kinds.
#include "propgrid/numeric_property.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "propgrid/prop_wnd.h"

ENumericProperty::ENumericProperty(IPropertyHost* pHost, const CString& sName, void* pProperty,
                                   const CString& sUnit, bool bEnabled, double dMin, double dMax)
    : EIconTextButtonProperty(pHost, sName, pProperty, bEnabled), m_sUnit(sUnit)
{
    SetRange(dMin, dMax);
}

ENumericProperty* ENumericProperty::SetRange(double a, double b)
{
    m_dMin = std::min(a, b);
    m_dMax = std::max(a, b);
    return this;
}

ENumericProperty* ENumericProperty::SetDecimals(int n)
{
    m_nDecimals = n;
    return this;
}

bool ENumericProperty::GetNumericValue(double* pValue)
{
    *pValue = GetValue();
    return true;
}

CString ENumericProperty::GetTextValue()
{
    double v = m_pProperty != nullptr ? GetValue() : 1.0;
    CString text;
    if (m_nDecimals != -1) {
        CString format;
        format.Format("%%.%ilf", m_nDecimals);
        text.Format(format, v);
    } else {
        int p = GetPrecision();
        CString format;
        format.Format("%%.%dlf", p);
        CString s;
        s.Format(format, v);
        CString point;
        point.Format("%.1lf", 1.2);
        const char dp = point[1];
        // Keep p significant digits: cut at the point when the integer part has them all.
        text = s;
        int digits = 0;
        bool afterPoint = false;
        for (int i = 0; i < s.GetLength(); ++i) {
            char c = s[i];
            if (c == dp) {
                if (digits >= p) {
                    text = s.Left(i);
                    break;
                }
                afterPoint = true;
            } else if (c >= '0' && c <= '9') {
                ++digits;
                if (afterPoint && digits == p) {
                    text = s.Left(i + 1);
                    break;
                }
            }
        }
        if (text.Find(dp) > 0) {
            text.TrimRight('0');
            text.TrimRight(dp);
        }
    }
    if (!m_sUnit.IsEmpty())
        text += " " + m_sUnit;
    return text;
}

bool ENumericProperty::ParseText(const CString& input, double* pValue)
{
    CString text = input;
    text.Remove(' ');
    const char* s = text;
    double a = 0, b = 0, v = 0;
    unsigned int hex = 0;
    if (std::sscanf(s, "0x%x", &hex) == 1)
        v = static_cast<int32_t>(hex);
    else if (std::sscanf(s, "%lf/%lf", &a, &b) == 2)
        v = a / b;
    else if (std::sscanf(s, "%lf*%lf", &a, &b) == 2)
        v = a * b;
    else if (std::sscanf(s, "%lf+%lf", &a, &b) == 2)
        v = a + b;
    else if (std::sscanf(s, "%lf-%lf", &a, &b) == 2)
        v = a - b;
    else if (std::sscanf(s, "%lf", &a) == 1)
        v = a;
    else if (std::sscanf(s, "/%lf", &b) == 1)
        v = GetValue() / b;
    else if (std::sscanf(s, "*%lf", &b) == 1)
        v = GetValue() * b;
    else
        return false;
    // A division by zero (or a typed "inf"/"nan") gives no number to store.
    if (!std::isfinite(v))
        return false;
    *pValue = v;
    return true;
}

bool ENumericProperty::ValidateEditText()
{
    CString text;
    if (!GetEditText(text))
        return true;
    double v = 0;
    if (ParseText(text, &v))
        return true;
    m_pEdit->SetSel(0, -1);
    return false;
}

bool ENumericProperty::CommitEditText()
{
    CString text;
    if (!EditTextChanged(text))
        return false;
    double v = 0;
    if (!ParseText(text, &v))
        return false;
    if ((m_dMin == 0 && m_dMax == 0) || (m_dMin <= v && v <= m_dMax))
        return SetValue(v);
    return false; // outside the range: dropped silently
}

EPropertyInt::EPropertyInt(IPropertyHost* pHost, const CString& sName, int32_t* pProperty,
                           const CString& sUnit, bool bEnabled, int32_t nMin, int32_t nMax)
    : ENumericProperty(pHost, sName, pProperty, sUnit, bEnabled, nMin, nMax)
{
}

double EPropertyInt::GetValue()
{
    return *static_cast<int32_t*>(m_pProperty);
}

bool EPropertyInt::SetValue(double dValue)
{
    double t = std::trunc(dValue);
    if (t < std::numeric_limits<int32_t>::min() || t > std::numeric_limits<int32_t>::max())
        return false;
    int32_t n = static_cast<int32_t>(t);
    if (!AskHost(&n))
        return false;
    *static_cast<int32_t*>(m_pProperty) = n;
    return true;
}

EPropertyFloat::EPropertyFloat(IPropertyHost* pHost, const CString& sName, float* pProperty,
                               const CString& sUnit, bool bEnabled, float fMin, float fMax)
    : ENumericProperty(pHost, sName, pProperty, sUnit, bEnabled, fMin, fMax)
{
}

double EPropertyFloat::GetValue()
{
    return *static_cast<float*>(m_pProperty);
}

bool EPropertyFloat::SetValue(double dValue)
{
    if (std::fabs(dValue) > std::numeric_limits<float>::max())
        return false;
    float f = static_cast<float>(dValue);
    if (!AskHost(&f))
        return false;
    *static_cast<float*>(m_pProperty) = f;
    return true;
}

EPropertyDouble::EPropertyDouble(IPropertyHost* pHost, const CString& sName, double* pProperty,
                                 const CString& sUnit, bool bEnabled, double dMin, double dMax)
    : ENumericProperty(pHost, sName, pProperty, sUnit, bEnabled, dMin, dMax)
{
}

double EPropertyDouble::GetValue()
{
    return *static_cast<double*>(m_pProperty);
}

bool EPropertyDouble::SetValue(double dValue)
{
    if (!AskHost(&dValue))
        return false;
    *static_cast<double*>(m_pProperty) = dValue;
    return true;
}
