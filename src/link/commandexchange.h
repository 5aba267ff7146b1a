#pragma once
#include <QByteArray>
#include <QList>
#include <QObject>
#include <functional>

class LinkTransport;

// One frame of a chain and the pause the unit needs before it, after the previous frame has left.
struct ChainStep
{
    QByteArray frame;
    int pauseBeforeMs = 0;
};

// What the unit carries out without a word back: the commands that store the settings, restore
// the factory set or reload them, and the tuning page's single saves.
class CommandExchange : public QObject
{
    Q_OBJECT
public:
    explicit CommandExchange(LinkTransport *link, QObject *parent = nullptr);

    bool requirePort();
    QByteArray writeFrame(int address, quint8 value) const;

    // Poll off, `before` (a frame the command needs in the unit first), the command, poll on;
    // then `sent` runs. False when no port is open: nothing goes and `sent` never runs.
    bool commandWithoutAnswer(quint8 code, const QByteArray &before = {}, std::function<void()> sent = {});
    // Frames in order with their pauses: the poll stays off while they go and starts anew a whole
    // interval after the last one; then `done` runs. Callers must not rely on `done` having run
    // on return.
    void sendChain(const QList<ChainStep> &steps, std::function<void()> done = {});

    LinkTransport *link() const { return m_link; }

private:
    LinkTransport *m_link;
};
