#include "Errors.h"

namespace ostrel {

Error::Error(QString className, QString message)
    : m_className(std::move(className)), m_message(std::move(message)),
      m_what(m_message.toStdString())
{
}

QString errorClassName(const std::exception& e)
{
    if (auto* error = dynamic_cast<const Error*>(&e))
        return error->className();
    return QStringLiteral("Exception");
}

QString errorText(const std::exception& e)
{
    if (auto* error = dynamic_cast<const Error*>(&e))
        return error->message();
    return QString::fromLocal8Bit(e.what());
}

} // namespace ostrel
