#include "data/exchange_record.h"

namespace tavir::data {

Ot2 exchangeRecord(int form, const Otchet& value) {
    Ot2 r;
    r.CODFORM = form;
    r.CODREG = value.CODREG;
    r.CODUCH = value.CODUCH;
    r.CODTAB = value.CODTAB;
    r.MES = value.MES;
    r.TIP = value.TIP;
    r.UNICODSTR = value.UNICODSTR;
    r.DATA = value.DATA;
    return r;
}

}  // namespace tavir::data
