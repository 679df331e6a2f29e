#pragma once

#include "platform/ExecutableName.h"

// Test double: a name chosen by the test, as if the program ran under that file name.
class FixedExecutableName final : public ExecutableName
{
public:
    explicit FixedExecutableName(QString name) : m_name(std::move(name)) {}
    [[nodiscard]] QString name() const override { return m_name; }

private:
    QString m_name;
};
