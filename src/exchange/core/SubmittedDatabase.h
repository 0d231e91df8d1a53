#pragma once

#include "data/SubmittedDatabase.h"

#include <QString>
#include <QVariant>

#include <utility>

namespace meridell::exchange {

// Refuses the submission as no project database, saying `why` (throws meridell::Error).
[[noreturn]] void refuseSubmission(const QString& why);

// Why the checks or the copy refused a submitted database, in the sentence the user reads after
// "提交的数据文件不是项目数据库：".
QString refusalReason(const data::SubmissionRefused& refusal);

// Runs `work`; a refusal of the submitted database comes out as refuseSubmission's Error.
template <typename Work>
decltype(auto) refusingSubmission(Work&& work) {
    try {
        return std::forward<Work>(work)();
    } catch (const data::SubmissionRefused& refusal) {
        refuseSubmission(refusalReason(refusal));
    }
}

// The value of a number column of a submitted row as the office database stores it (see
// data::submittedNumber); anything else refuses the submission (throws meridell::Error).
QVariant submittedNumber(const QVariant& value);

}  // namespace meridell::exchange
