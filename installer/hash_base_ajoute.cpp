// The installer's plain append of the chained hash table.
#include "common/text/hash_base.h"

CHashBase::_stPAIRE* CHashBase::Ajoute(void* pCle, void* pValeur)
{
    if (m_nNbBuckets <= 0)
        return nullptr;
    CListeDeBuffer& liste = m_pBuckets[_nBucket(pCle, m_nNbBuckets)];
    // The cursor on the last pair, so that the new one goes behind it.
    liste.pVaSurNumero(liste.nGetNbElement() - 1);
    const _stPAIRE paire = {pCle, pValeur};
    if (!liste.Ajoute(&paire, 0))
        return nullptr;
    ++m_nNbElement;
    return static_cast<_stPAIRE*>(liste.pCourant());
}
