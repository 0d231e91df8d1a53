#pragma once

// The rows of a NativeStatement on a server connection, read through Qt's driver.

#include "data/NativeStatement.h"

#include <QByteArray>
#include <QSqlQuery>
#include <QVariant>
#include <QVariantList>

#include <vector>

namespace meridell::data {

struct NativeStatement::ServerRows {
    ServerRows(const QSqlDatabase& db, const QString& sql);

    // Runs the statement with the bound values on its first step (or when its columns are asked
    // for first), then moves on row by row.
    bool step();
    void reset();
    // Starts the statement again with `values` bound in order.
    void bind(const QVariantList& values);
    int columnCount();
    int columnIndex(const char* name);
    Storage storage(int column) const;
    QVariant value(int column) const;
    QByteArrayView utf8(int column) const;

private:
    void run();

    QSqlQuery query_;
    QVariantList bound_;
    bool running_ = false;
    QVariantList row_;
    mutable std::vector<QByteArray> texts_;  // the row's values as UTF-8, made when first asked
    mutable std::vector<bool> textMade_;
};

}  // namespace meridell::data
