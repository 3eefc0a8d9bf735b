#include "ScriptItem.h"

#include "SqlQuoting.h"

void CScriptItem::Empty() {
    KEY = -1;
    NAME.clear();
    DATA.clear();
}

void CScriptItem::EscapeForSql() {
    NAME = vb::QuoteForSql(NAME);
    DATA = vb::QuoteForSql(DATA);
}

void CScriptItem::UnescapeFromSql() {
    NAME = vb::UnquoteFromSql(NAME);
    DATA = vb::UnquoteFromSql(DATA);
}

bool CScriptItem::operator!=(const CScriptItem& other) const {
    if (this == &other) return false;
    return KEY != other.KEY || NAME != other.NAME || DATA != other.DATA;
}
