#include "formats/welldeletion.h"

#include "formats/schemadefinition.h"

namespace strataloom::formats {

bool WellDeletion::CountRows(const Scope& scope, std::uint64_t& rows, std::string& reason) {
    const std::string sql = "SELECT count(*) FROM " + scope.table + " WHERE " + scope.condition;
    const bool counted = db_->Each(sql, scope.parameters, [&rows](const DbRow& row) {
        rows = static_cast<std::uint64_t>(row[0].integer);
        return true;
    });
    if (!counted) reason = "cannot count the rows of " + scope.table + ": " + db_->Failure();
    return counted;
}

bool WellDeletion::Count(const std::string& connect, const std::string& project,
                         const std::string& well, std::string& reason) {
    db_ = DirectConnection::Open(connect, DirectConnection::Access::kWrite, reason);
    if (!db_) return false;
    DirectConnection::TableColumns present;
    // Locked for writing from the start: what is counted is what is removed.
    if (!db_->Begin() || !db_->Tables(present)) {
        reason = "cannot read the " + db_->Name() + ": " + db_->Failure();
        return false;
    }
    const auto has = [&present](const std::string& table, const char* column) {
        const auto found = present.find(LowerName(table));
        return found != present.end() && found->second.count(LowerName(column)) > 0;
    };
    std::vector<Scope> scopes;
    if (has(kWellHeaderTable, "ProjectName") && has(kWellHeaderTable, "WellName")) {
        const Scope elsewhere{
            kWellHeaderTable, "WellName = ? AND ProjectName <> ?", {well, project}};
        if (!CountRows(elsewhere, headersElsewhere_, reason)) return false;
        scopes.push_back({kWellHeaderTable, "WellName = ? AND ProjectName = ?", {well, project}});
    }
    for (const DefinedTable& table : DefinedTables()) {
        if (table.IsWellBoreTable() && has(table.name, "WellName")) {
            scopes.push_back({table.name, "WellName = ?", {well}});
        }
    }
    for (Scope& scope : scopes) {
        std::uint64_t rows = 0;
        if (!CountRows(scope, rows, reason)) return false;
        if (rows == 0) continue;
        found_.push_back({scope.table, rows});
        scopes_.push_back(std::move(scope));
    }
    return true;
}

std::uint64_t WellDeletion::Rows(const std::string& table) const {
    for (const WellTableRows& found : found_) {
        if (found.table == table) return found.rows;
    }
    return 0;
}

std::uint64_t WellDeletion::TotalRows() const {
    std::uint64_t total = 0;
    for (const WellTableRows& found : found_) total += found.rows;
    return total;
}

bool WellDeletion::Delete(std::string& reason) {
    for (const Scope& scope : scopes_) {
        if (!db_->Run("DELETE FROM " + scope.table + " WHERE " + scope.condition,
                      scope.parameters)) {
            reason = "cannot remove the rows of " + scope.table + ": " + db_->Failure();
            db_->Rollback();
            return false;
        }
    }
    if (db_->Commit()) return true;
    reason = "cannot commit the removal: " + db_->Failure();
    db_->Rollback();
    return false;
}

}  // namespace strataloom::formats
