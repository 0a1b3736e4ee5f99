#include "CUpnpAnnouncer.h"

#include <QAbstractEventDispatcher>
#include <QFile>
#include <libgupnp/gupnp.h>

namespace {

QString xmlEscaped(const QString& text)
{
    return text.toHtmlEscaped();
}

} // namespace

void CUpnpAnnouncer::GObjectDeleter::operator()(void* object) const
{
    if (object != nullptr)
        g_object_unref(object);
}

CUpnpAnnouncer::CUpnpAnnouncer() = default;

CUpnpAnnouncer::~CUpnpAnnouncer()
{
    // A byebye goes out while the device is withdrawn, before the context closes.
    if (m_device)
        gupnp_root_device_set_available(m_device.get(), FALSE);
    m_device.reset();
    m_context.reset();
}

bool CUpnpAnnouncer::start(const QString& friendlyName, const QString& udn, quint16 boxPort, QString* error)
{
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder for the device description");
        return false;
    }
    const QString description =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<root xmlns=\"urn:schemas-upnp-org:device-1-0\">\n"
                       "  <specVersion><major>1</major><minor>0</minor></specVersion>\n"
                       "  <device>\n"
                       "    <deviceType>urn:schemas-upnp-org:device:MediaServer:1</deviceType>\n"
                       "    <friendlyName>%1</friendlyName>\n"
                       "    <manufacturer>Kelvo+ demo box</manufacturer>\n"
                       "    <modelName>kelvo-demobox</modelName>\n"
                       "    <modelNumber>%2</modelNumber>\n"
                       "    <UDN>%3</UDN>\n"
                       "    <presentationURL>http://127.0.0.1:%2/</presentationURL>\n"
                       "  </device>\n"
                       "</root>\n")
            .arg(xmlEscaped(friendlyName))
            .arg(boxPort)
            .arg(xmlEscaped(udn));
    QFile file(m_dir.filePath(QStringLiteral("description.xml")));
    if (!file.open(QIODevice::WriteOnly) || file.write(description.toUtf8()) < 0) {
        *error = QStringLiteral("cannot write the device description");
        return false;
    }
    file.close();

    GError* gerror = nullptr;
    m_context.reset(gupnp_context_new_full("lo", nullptr, 0, GSSDP_UDA_VERSION_1_0, &gerror));
    if (!m_context) {
        *error = QStringLiteral("UPnP context on lo: %1")
                     .arg(QString::fromUtf8(gerror != nullptr ? gerror->message : "unknown error"));
        g_clear_error(&gerror);
        return false;
    }
    const QByteArray folder = m_dir.path().toUtf8();
    m_device.reset(gupnp_root_device_new(m_context.get(), "description.xml", folder.constData(), &gerror));
    if (!m_device) {
        *error = QStringLiteral("UPnP root device: %1")
                     .arg(QString::fromUtf8(gerror != nullptr ? gerror->message : "unknown error"));
        g_clear_error(&gerror);
        m_context.reset();
        return false;
    }
    gupnp_root_device_set_available(m_device.get(), TRUE);

    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher == nullptr || !dispatcher->inherits("QEventDispatcherGlib")) {
        QObject::connect(&m_pump, &QTimer::timeout, [] {
            for (int i = 0; i < 100 && g_main_context_iteration(nullptr, FALSE); ++i) {
            }
        });
        m_pump.start(20);
    }
    return true;
}

QString CUpnpAnnouncer::descriptionUrl() const
{
    if (!m_device)
        return {};
    return QString::fromUtf8(gupnp_device_info_get_location(GUPNP_DEVICE_INFO(m_device.get())));
}
