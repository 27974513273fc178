#include "platform/openableaddress.h"

QUrl OpenableAddress(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid())
        return {};
    const QString scheme = url.scheme();
    if (scheme == u"mailto")
        return url;
    if ((scheme == u"http" || scheme == u"https") && !url.host().isEmpty())
        return url;
    return {};
}
