// CXError: the readable dump, section by section. Captions and number
// formats are this module's resource texts.
#include <cstring>

#include "common/system/dllres.h"
#include "common/system/module_info.h"
#include "common/system/x_error.h"
#include "common/system/x_error_info_types.h"
#include "common/text/ct_string.h"

namespace {

// Resource ids of the captions and formats.
enum : unsigned int
{
    RES_VMCONTEXT = 28844,        // ()
    RES_VMLINE = 28845,           // (caption, object part, line, thread)
    RES_VMNOLINE = 25770,         // (caption, object part, thread)
    RES_FUNCTION = 28846,         // (name, syntax)
    RES_USERMESSAGE = 28857,
    RES_NOUSERMESSAGE = 28858,
    RES_USERCODE = 28851,         // (code)
    RES_LEVEL_NONE = 28847,
    RES_LEVEL_WARNING = 28848,
    RES_LEVEL_ERROR = 28849,
    RES_LEVEL_INTERNAL = 25311,
    RES_LEVEL_OTHER = 28850,      // (level)
    RES_USERCODE55 = 28852,       // (code)
    RES_SYSTEMCODE = 28853,       // (code)
    RES_NOSYSTEMCODE = 28854,
    RES_SYSTEMMESSAGE = 28855,
    RES_NOSYSTEMMESSAGE = 28856,
    RES_MODULE = 28842,           // (name, version)
    RES_NOMODULE = 28843,
    RES_DETAILID = 28863,         // (id)
    RES_NODETAILID = 28864,
    RES_DEBUGMESSAGE = 28859,
    RES_NODEBUGMESSAGE = 28860,
    RES_INFO = 28861,
    RES_NOINFO = 28862,
    RES_SUBERROR = 28865,         // (number)
};

constexpr wchar_t kEOL[] = L"\r\n";
constexpr unsigned short kNoLine = 65535;

// Appends resource text id formatted with the arguments (nothing when it
// does not load). The captions differ in the inserts they take (the level
// texts none but the last).
template <class... Args>
void AddRes(CTString& out, unsigned int nId, Args... args)
{
    CTString text;
    if (DLLRES_bFormatMessage(&gstMyModuleInfo32, nId, &text, args...))
        out.Add(text.pszGet());
}

bool bEmpty(const wchar_t* psz)
{
    return psz == nullptr || *psz == 0;
}

unsigned int nLevelText(int nLevel)
{
    switch (static_cast<unsigned int>(nLevel)) {
    case 1:
        return RES_LEVEL_NONE;
    case 2:
        return RES_LEVEL_WARNING;
    case 3:
    case 0x40000004:
    case 0x40000008:
        return RES_LEVEL_ERROR;
    case 0x10001:
    case 0x10002:
    case 0x10003:
    case 0x10004:
    case 0x10005:
    case 0x10006:
    case 0x20001:
        return RES_LEVEL_INTERNAL;
    default:
        return RES_LEVEL_OTHER;
    }
}

// The pending-blank rule: a section that writes first writes one extra line
// end when the flag is up.
class Dump
{
public:
    Dump(CTString& out, uint32_t dwFlags) : m_out(out), m_dwFlags(dwFlags) {}

    bool bSection(uint32_t bit) const { return (m_dwFlags & bit) != 0; }
    bool bWriteEmpty() const { return (m_dwFlags & CXError::XEI_NOEMPTY) == 0; }
    // Starts a section's output: the pending blank first.
    CTString& Begin()
    {
        if (m_bBlank)
            m_out.Add(kEOL);
        return m_out;
    }
    CTString& Out() { return m_out; }
    void SetBlank(bool b) { m_bBlank = b; }

private:
    CTString& m_out;
    uint32_t m_dwFlags;
    bool m_bBlank = false;
};

}  // namespace

void CXError::__DumpInfo(eERRORINFOTYPE eType, const void* pValue, CTString& out, int bForce) const
{
    out.Vide();
    const wchar_t* pszFormat = XERR_pszInfoDumpFormat(eType);
    if (pszFormat == nullptr)
        return;
    switch (XERR_eInfoKind(eType)) {
    case eXErrorInfoKind::Text: {
        const auto* psz = static_cast<const wchar_t*>(pValue);
        if (bEmpty(psz)) {
            if (!bForce)
                return;
            psz = L"";
        }
        out.printf(pszFormat, psz);
        break;
    }
    case eXErrorInfoKind::Number64: {
        long long ll = 0;
        if (pValue != nullptr)
            std::memcpy(&ll, pValue, sizeof ll);
        out.printf(pszFormat, ll);
        break;
    }
    case eXErrorInfoKind::Number32: {
        int n = 0;
        if (pValue != nullptr)
            std::memcpy(&n, pValue, sizeof n);
        out.printf(pszFormat, n);
        break;
    }
    case eXErrorInfoKind::Unknown:
        out.printf(pszFormat, pValue);
        break;
    case eXErrorInfoKind::Host:
        out = pszFormat;
        break;
    default:
        break;
    }
}

void CXError::DumpInfo(eERRORINFOTYPE eType, const void* pValue, CTString* pOut) const
{
    if (pOut == nullptr)
        return;
    CTString line;
    __DumpInfo(eType, pValue, line, 1);
    pOut->Add(line.pszGet());
}

CTString CXError::StringDump(eXERROR_INFO eFlags) const
{
    CTString out;
    StringDump(out, eFlags);
    return out;
}

void CXError::StringDump(CTString& out, eXERROR_INFO eFlags) const
{
    Dump d(out, eFlags);

    // 1. Context of the running treatment.
    if (d.bSection(XEI_VMCONTEXT)) {
        bool bWrote = false;
        if (!bEmpty(m_pszFunctionName) || !bEmpty(m_pszVMCaption)) {
            AddRes(out, RES_VMCONTEXT);
            out.Add(kEOL);
            if (!bEmpty(m_pszVMCaption)) {
                CTString object;
                if (!bEmpty(m_pszVMObject))
                    object.Set(L" (", m_pszVMObject, L")");
                if (m_wVMLine < kNoLine)
                    AddRes(out, RES_VMLINE, m_pszVMCaption, object.pszGet(), static_cast<int>(m_wVMLine),
                           static_cast<int>(m_wVMThread));
                else
                    AddRes(out, RES_VMNOLINE, m_pszVMCaption, object.pszGet(), static_cast<int>(m_wVMThread));
                out.Add(kEOL);
            }
            if (!bEmpty(m_pszFunctionName)) {
                AddRes(out, RES_FUNCTION, m_pszFunctionName, static_cast<int>(m_nFunctionSyntax));
                out.Add(kEOL);
            }
            bWrote = true;
        }
        d.SetBlank(bWrote);
    }

    // 2. User message.
    if (d.bSection(XEI_USERMESSAGE)) {
        if (!bEmpty(m_pszUserMessage)) {
            d.Begin();
            if (!d.bSection(XEI_NOUSERMESSAGECAPTION)) {
                AddRes(out, RES_USERMESSAGE);
                out.Add(kEOL);
            }
            out.Add(m_pszUserMessage);
            out.Add(kEOL);
            d.SetBlank(true);
        } else if (d.bWriteEmpty()) {
            d.Begin();
            AddRes(out, RES_NOUSERMESSAGE);
            out.Add(kEOL);
            d.SetBlank(true);
        }
    }

    // 3 to 5. Codes and level.
    {
        bool bWrote = false;
        if (d.bSection(XEI_USERCODE)) {
            AddRes(d.Begin(), RES_USERCODE, m_nUserErrorCode);
            out.Add(kEOL);
            d.SetBlank(false);
            bWrote = true;
        }
        if (d.bSection(XEI_LEVEL)) {
            const unsigned int nId = nLevelText(m_eLevel);
            AddRes(d.Begin(), nId, static_cast<unsigned int>(m_eLevel));
            out.Add(kEOL);
            d.SetBlank(false);
            bWrote = true;
        }
        if (d.bSection(XEI_USERCODE55) && (m_nUserErrorCode55 != 0 || d.bWriteEmpty())) {
            AddRes(d.Begin(), RES_USERCODE55, m_nUserErrorCode55);
            out.Add(kEOL);
            d.SetBlank(false);
            bWrote = true;
        }
        if (bWrote)
            d.SetBlank(true);
    }

    // 6 and 7. System error.
    {
        bool bWrote = false;
        if (d.bSection(XEI_SYSTEMCODE)) {
            if (m_dwSystemErrorCode != 0) {
                AddRes(d.Begin(), RES_SYSTEMCODE, m_dwSystemErrorCode);
                out.Add(kEOL);
                bWrote = true;
            } else if (d.bWriteEmpty()) {
                AddRes(d.Begin(), RES_NOSYSTEMCODE);
                out.Add(kEOL);
                bWrote = true;
            }
            if (bWrote)
                d.SetBlank(false);
        }
        if (d.bSection(XEI_SYSTEMMESSAGE)) {
            if (!bEmpty(m_pszSystemErrorMessage)) {
                AddRes(d.Begin(), RES_SYSTEMMESSAGE);
                out.Add(kEOL);
                // No line end after the system's own text.
                out.Add(m_pszSystemErrorMessage);
                bWrote = true;
            } else if (d.bWriteEmpty()) {
                AddRes(d.Begin(), RES_NOSYSTEMMESSAGE);
                out.Add(kEOL);
                bWrote = true;
            }
        }
        if (bWrote)
            d.SetBlank(true);
    }

    // 8 to 11. Module, detail id, debug message, info items.
    {
        bool bWrote = false;
        if (d.bSection(XEI_MODULE)) {
            if (!bEmpty(m_pszModName)) {
                AddRes(d.Begin(), RES_MODULE, m_pszModName, pszGetModVersion());
                out.Add(kEOL);
                d.SetBlank(false);
                bWrote = true;
            } else if (d.bWriteEmpty()) {
                AddRes(d.Begin(), RES_NOMODULE);
                out.Add(kEOL);
                d.SetBlank(false);
                bWrote = true;
            }
        }
        if (d.bSection(XEI_DETAILID)) {
            if (m_nDetailId != 0) {
                AddRes(d.Begin(), RES_DETAILID, static_cast<unsigned int>(m_nDetailId));
                out.Add(kEOL);
                d.SetBlank(false);
                bWrote = true;
            } else if (d.bWriteEmpty()) {
                AddRes(d.Begin(), RES_NODETAILID);
                out.Add(kEOL);
                d.SetBlank(false);
                bWrote = true;
            }
        }
        if (d.bSection(XEI_DEBUGMESSAGE)) {
            if (!bEmpty(m_pszDebugMessage)) {
                AddRes(d.Begin(), RES_DEBUGMESSAGE);
                out.Add(kEOL);
                out.Add(m_pszDebugMessage);
                out.Add(kEOL);
                d.SetBlank(false);
                bWrote = true;
            } else if (d.bWriteEmpty()) {
                AddRes(d.Begin(), RES_NODEBUGMESSAGE);
                out.Add(kEOL);
                d.SetBlank(false);
                bWrote = true;
            }
        }
        if (d.bSection(XEI_INFO)) {
            if (m_tabInfo.nGetNbElement() > 0) {
                AddRes(d.Begin(), RES_INFO);
                CTString line;
                for (int i = 0; i < m_tabInfo.nGetNbElement(); ++i) {
                    const _stERRORINFO& item = m_tabInfo[i];
                    __DumpInfo(item.eType, __pInfoValue(item), line, 0);
                    if (line.nTaille() == 0)
                        continue;
                    out.Add(kEOL);
                    out.Add(line.pszGet());
                }
                bWrote = true;
            } else if (d.bWriteEmpty()) {
                AddRes(d.Begin(), RES_NOINFO);
                out.Add(kEOL);
                bWrote = true;
            }
        }
        if (bWrote)
            d.SetBlank(true);
    }

    // 12. Sub-errors, each with the same sections.
    if (d.bSection(XEI_SUBERROR) && nGetNbSubError() > 0) {
        d.Begin();
        for (int i = 0; i < nGetNbSubError(); ++i) {
            out.Add(L"\r\n----- ");
            AddRes(out, RES_SUBERROR, i + 1);
            out.Add(L" -----\r\n\r\n");
            (*m_ptabSubError)[i]->StringDump(out, eFlags);
            out.Add(kEOL);
        }
    }
}
