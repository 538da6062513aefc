// Text handed over by the logic: UTF-8 when it is valid UTF-8, otherwise the
// classic Roman character set (names read from old universe files, the
// ellipsis 201 that shortened names end with).
#pragma once
#include <QString>
#include <string>

QString PlatformText(const std::string& text);
std::string LogicText(const QString& text);  // back to UTF-8
