#pragma once
#include "DbConnection.h"

// One write made of several statements: rolled back when it ends without Commit, so a failure
// halfway leaves the database as it was.
class CDbTransaction {
public:
    explicit CDbTransaction(CDbConnection& db) : db_(db), active_(db.BeginTransaction() != FALSE) {}
    ~CDbTransaction() {
        if (active_) db_.RollbackTransaction();
    }
    CDbTransaction(const CDbTransaction&) = delete;
    CDbTransaction& operator=(const CDbTransaction&) = delete;

    // False when the transaction could not start (a locked or read-only file).
    bool IsActive() const noexcept { return active_; }
    bool Commit() {
        if (!active_) return false;
        active_ = false;
        if (db_.CommitTransaction()) return true;
        db_.RollbackTransaction();
        return false;
    }

private:
    CDbConnection& db_;
    bool active_;
};
