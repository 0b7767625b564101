// A runtime value cast in place to what a column of the connection takes.
#include <cstring>

#include "common/text/any.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/item_type.h"
#include "native/model/variant_any.h"

namespace {

// The error kinds, which are the site numbers of source 1 the cast errors
// are raised at.
constexpr int kKindTime = 14;
constexpr int kKindDate = 15;
constexpr int kKindOther = 16;

// Numbers a column of runtime type T takes as they are when the cast need
// not be strict.
bool bTakenAsItIs(const CAny& clValue, unsigned short T)
{
    switch (clValue.nGetTypeCode()) {
    case ZLTYPE_I2: return T == 6 || T == 7;
    case ZLTYPE_I4: return T == 6 || T == 7 || T == 8 || T == 11;
    case ZLTYPE_I8: {
        if (T == 6 || T == 7 || T == 9 || T == 11 || T == 12)
            return true;
        const long n = clValue._tLit<int64_t>();
        return T == 8 && n >= -2147483647L && n <= 2147483646L;
    }
    case ZLTYPE_R4: return T == 6 || T == 7 || T == 8 || T == 9 || T == 11;
    case ZLTYPE_R8: return T == 6 || T == 7 || T == 8 || T == 9 || T == 11 || T == 12;
    default: return false;
    }
}

// The codes the error object turns into a message; any other failure of the
// machine is reported as a conversion that cannot be made.
int nReportedCode(int nCode)
{
    switch (nCode) {
    case 1: case 100: case 101: case 104: case 105: case 106: case 107:
        return nCode;
    default:
        return ANY_ERR_TYPE;
    }
}

}  // namespace

int CNAConnectionDescription::bCastCAnyIntoDBType(CNAError* pclError, CAny* pclValue, eNA_ITEMTYPE eType,
                                                  eNA_ITEMTYPE eSecondType, int bStrict)
{
    if (pclValue == nullptr)
        return 0;
    const unsigned short T = ConverteItemToZLType(eType != NA_IT_EMPTY ? eType : eSecondType);
    const unsigned short S = pclValue->nGetTypeCode();
    const auto fail = [&](int nCode, int nKind) {
        if (pclError != nullptr)
            pclError->SetAnyError(nReportedCode(nCode), S, T, NA_SRC_CONNECTION, nKind, this, nullptr, nullptr);
        return 0;
    };
    // No runtime type for the item types given: nothing to cast to.
    if (T == ZLTYPE_VIDE)
        return 1;
    if (T == S || (T == ZLTYPE_DSTRA && S == ZLTYPE_PSTRA) || (T == ZLTYPE_DSTRW && S == ZLTYPE_PSTRW))
        return 1;
    if (T == ZLTYPE_DATETIME || T == ZLTYPE_DATEA || T == ZLTYPE_TIMEA) {
        if (S == ZLTYPE_DATETIME)
            return 1;
        if (S == ZLTYPE_TIMEW || S == ZLTYPE_TIMEA) {
            if (T == ZLTYPE_DATEA) {
                pclValue->__SetType(ZLTYPE_VIDE, 0);
                pclValue->__SetType(ZLTYPE_DATEA, 0);
            }
            return 1;
        }
        int nCode = pclValue->__nCastTo(ZLTYPE_DSTRA, nullptr, 1);
        if (eSecondType == NA_IT_HEURE) {
            if (nCode <= 99) {
                // A time needs its hours and minutes: a shorter text is
                // completed with zeros.
                const char* psz = nullptr;
                (void)pclValue->Objet().nGetPCASTR(&psz);
                const size_t n = psz != nullptr ? std::strlen(psz) : 0;
                if (n < 4) {
                    char acTime[5] = {'0', '0', '0', '0', 0};
                    std::memcpy(acTime, psz, n);
                    (void)NA_nSetAnyAnsi(*pclValue, acTime, 4);
                }
                nCode = pclValue->__nCastTo(ZLTYPE_TIMEA, nullptr, 1);
            }
            return nCode <= 99 ? 1 : fail(nCode, kKindTime);
        }
        if (nCode <= 99)
            nCode = pclValue->__nCastTo(T, nullptr, 1);
        return nCode <= 99 ? 1 : fail(nCode, kKindDate);
    }
    if (S == ZLTYPE_BIN || S == ZLTYPE_BUFFER || S == ZLTYPE_MEMOIMG)
        return 1;
    if (!bStrict && bTakenAsItIs(*pclValue, T))
        return 1;
    const int nCode = pclValue->__nCastTo(T, nullptr, 1);
    return nCode <= 99 ? 1 : fail(nCode, kKindOther);
}
