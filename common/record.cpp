// The uninstall record reader (portable).
#include "record.h"

UninstallRecord g_record;

int ReadRecordFile(UninstallRecord&, const char*, const RecordReaderRules&, const RecordSink&) { return 0; }
void FreeUninstallRecord(UninstallRecord&) {}
