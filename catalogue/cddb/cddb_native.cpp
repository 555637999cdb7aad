// The native check build has no socket layer: the client's parsers and local files only.
#include "catalogue/cddb/cddb.h"

BOOL CCDDB::ReadResponse(CWSocket&, LPCTSTR, CString&, int)
{
    AfxThrowNotSupportedException();
}
