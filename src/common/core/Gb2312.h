#pragma once

#include <QString>

namespace meridell {

// Length of a text in GB2312 (code page 936) bytes: an ASCII character counts 1, a Chinese
// character 2. A character the code page cannot encode counts 2.
int gb2312Bytes(const QString& text);

// Text encoded in code page 936 (unencodable characters become '?').
QByteArray toGb2312(const QString& text);

}  // namespace meridell
