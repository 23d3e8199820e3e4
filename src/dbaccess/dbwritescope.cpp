#include "dbaccess/dbwritescope.h"

#include "dbaccess/connection.h"
#include "dbaccess/connectionregistry.h"
#include "dbaccess/failure.h"

DbWriteScope::DbWriteScope(const std::string& connect) {
    std::string error;
    connection_ = strataloom::db::AcquireConnection(connect, &error);
    if (!connection_) {
        strataloom::db::NoteFailure(error);
        return;
    }
    outermost_ = !connection_->InScope();
    transaction_ = std::make_unique<strataloom::db::Transaction>(*connection_);
}

// The transaction ends before the connection is let go.
DbWriteScope::~DbWriteScope() {
    transaction_.reset();
}

bool DbWriteScope::Active() const {
    return transaction_ && transaction_->Active();
}

bool DbWriteScope::Commit() {
    return transaction_ && transaction_->Commit();
}

bool DbWriteScope::LostRace() const {
    return connection_ && connection_->LostRace();
}
