#include "xdisplay.h"
#include "benchsupport.h"
#include <QDeadlineTimer>
#include <QStandardPaths>
#include <cstring>

#ifdef VELKOR_BENCH_XCB
#include <xcb/xcb.h>
#include <xcb/xproto.h>

namespace {

QString serverPath()
{
    return QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return a;
}

// The viewable top-level windows (children of the root) whose _NET_WM_PID is `pid`.
xcb_window_t windowOf(xcb_connection_t *c, xcb_window_t root, qint64 pid)
{
    const xcb_atom_t pidAtom = atom(c, "_NET_WM_PID");
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (!tree)
        return XCB_WINDOW_NONE;
    xcb_window_t found = XCB_WINDOW_NONE;
    const xcb_window_t *children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree) && found == XCB_WINDOW_NONE; ++i) {
        xcb_get_property_reply_t *prop = xcb_get_property_reply(
            c, xcb_get_property(c, 0, children[i], pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        xcb_get_window_attributes_reply_t *attrs =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
        if (prop && attrs && xcb_get_property_value_length(prop) == 4
            && *static_cast<const uint32_t *>(xcb_get_property_value(prop)) == uint32_t(pid)
            && attrs->map_state == XCB_MAP_STATE_VIEWABLE)
            found = children[i];
        free(prop);
        free(attrs);
    }
    free(tree);
    return found;
}

// The key code that types the keysym (for a..z the keysym is the ASCII letter).
xcb_keycode_t keycodeOf(xcb_connection_t *c, uint32_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t *map =
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr);
    if (!map)
        return 0;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map);
    xcb_keycode_t code = 0;
    for (int k = 0; k < count && !code; ++k) {
        for (int s = 0; s < map->keysyms_per_keycode; ++s) {
            if (syms[k * map->keysyms_per_keycode + s] == keysym) {
                code = xcb_keycode_t(setup->min_keycode + k);
                break;
            }
        }
    }
    free(map);
    return code;
}

void sendKey(xcb_connection_t *c, xcb_window_t window, xcb_window_t root, xcb_keycode_t code, uint8_t type)
{
    xcb_key_press_event_t event = {};
    event.response_type = type;
    event.detail = code;
    event.time = XCB_CURRENT_TIME;
    event.root = root;
    event.event = window;
    event.child = XCB_WINDOW_NONE;
    event.state = XCB_MOD_MASK_CONTROL;
    event.same_screen = 1;
    xcb_send_event(c, 0, window, type == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                   reinterpret_cast<const char *>(&event));
}

}  // namespace

struct XDisplay::Connection
{
    xcb_connection_t *c = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    ~Connection()
    {
        if (c)
            xcb_disconnect(c);
    }
};

XDisplay::XDisplay() = default;

XDisplay::~XDisplay()
{
    m_connection.reset();
    stopProcess(m_server);
}

bool XDisplay::available()
{
    return !serverPath().isEmpty();
}
#else
struct XDisplay::Connection
{
};
XDisplay::XDisplay() = default;
XDisplay::~XDisplay() = default;
bool XDisplay::available() { return false; }
bool XDisplay::start(QString *) { return false; }
bool XDisplay::typeControlKey(qint64, char) { return false; }
#endif

#ifdef VELKOR_BENCH_XCB

bool XDisplay::start(QString *error)
{
    // The server picks a free display number itself and prints it.
    m_server.setProgram(serverPath());
    m_server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                           QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                           QStringLiteral("0"), QStringLiteral("1280x1024x24")});
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    m_server.start();
    QDeadlineTimer deadline(10000);
    while (!m_server.canReadLine() && !deadline.hasExpired() && m_server.state() != QProcess::NotRunning)
        m_server.waitForReadyRead(100);
    if (!m_server.canReadLine()) {
        *error = QStringLiteral("Xvfb did not start");
        return false;
    }
    m_name = QLatin1Char(':') + QString::fromLatin1(m_server.readLine()).trimmed();
    m_connection = std::make_unique<Connection>();
    m_connection->c = xcb_connect(m_name.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(m_connection->c)) {
        *error = QStringLiteral("cannot connect to Xvfb on %1").arg(m_name);
        return false;
    }
    m_connection->root = xcb_setup_roots_iterator(xcb_get_setup(m_connection->c)).data->root;
    return true;
}

bool XDisplay::typeControlKey(qint64 pid, char letter)
{
    if (!m_connection)
        return false;
    xcb_connection_t *c = m_connection->c;
    const xcb_window_t window = windowOf(c, m_connection->root, pid);
    const xcb_keycode_t code = keycodeOf(c, uint32_t(letter));
    if (window == XCB_WINDOW_NONE || !code)
        return false;
    // Without a window manager nobody else hands out the focus; the tool's shortcuts need its
    // window active.
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    xcb_flush(c);
    pauseMs(200);
    sendKey(c, window, m_connection->root, code, XCB_KEY_PRESS);
    sendKey(c, window, m_connection->root, code, XCB_KEY_RELEASE);
    xcb_flush(c);
    return true;
}
#endif
