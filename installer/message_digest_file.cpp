// Digest of a whole file through the stream layer.
#include "common/system/disk_file.h"
#include "common/system/x_error.h"
#include "installer/message_digest.h"

bool IMessageDigest::bDigestFile(const wchar_t* pszPath, unsigned char* pbyDigest, CXError* pclError)
{
    CDiskFile file;
    if (!file.bOpen(pszPath, IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                    IXStream::XFLAG_NONE, nullptr)) {
        if (pclError != nullptr) {
            pclError->Copy(file.pclGetXError());
            pclError->SetErrorLevel(CXError::EL_WARNING);
        }
        return false;
    }
    Reset();
    unsigned char piece[1024];
    for (;;) {
        unsigned n = 0;
        // A failed read is no end of file: the digest would be of part of
        // it.
        if (!file.bRead(piece, sizeof piece, &n)) {
            if (pclError != nullptr) {
                pclError->Copy(file.pclGetXError());
                pclError->SetErrorLevel(CXError::EL_WARNING);
            }
            Reset();
            return false;
        }
        if (n == 0)
            break;
        AddData(piece, n);
    }
    file.Close();
    FinalDigest(pbyDigest);
    return true;
}
