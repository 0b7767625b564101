#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/id_auto.h"
#include "native/model/record_cache_position.h"
int CNADataAccess::bHCreation(const wchar_t*, int) { return 0; }
int CNADataAccess::bSupprimeFichier() { return 0; }
int CNADataAccess::bSupprimeTout() { return 0; }
int CNADataAccess::bHCreationSiInexistant(eNA_ACCESS, const wchar_t*) { return 0; }
int CNADataAccess::bHOuvre(eNA_ACCESS, const wchar_t*) { return 0; }
CNADataSourceDescription* CNADataAccess::pclGetDataSourceDescriptionFromDB(const wchar_t*, int) { return nullptr; }
int CNADataAccess::bSetCurrentRecordRead(int) { return 0; }
int CNADataAccess::bFichierExiste(int*, int*) { return 0; }
eNA_ERRORTYPE CNADataAccess::eGetNAErrorType() { return static_cast<eNA_ERRORTYPE>(0); }
int CNADataAccess::_bInitCurrentRecord() { return 0; }
int CNADataAccess::_bOperation(CNAStatement*, eNAQUERYTYPE, NA_WRITEPARSEFLAGS, CNARecordValue*) { return 0; }
int CNADataAccess::_bHCreation(int, int) { return 0; }
int CNADataAccess::_bSupprimeTout() { return 0; }
int CNADataAccess::_SetImportedDataSourceDesc(CNADataSourceDescription*) { return 0; }
int CNADataAccess::_bGetUniqueIndexName(CNAColumn*, CTString*) { return 0; }
void CNADataAccess::_CloseAllStatement() {}
void CNADataAccess::_SetExecutionStatement(CNAStatement*) {}
unsigned CNADataAccess::nReleaseRecordSave(int) { return 0; }
