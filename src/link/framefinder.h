#pragma once
#include <QByteArray>

// Where the received bytes wait until they make a frame. Nothing in a reply says what it answers,
// so the link says which frame it expects; the finder takes it once its bytes are there with both
// marks right, and skips whatever cannot begin it, so the first clean reply after noise is used.
class FrameFinder
{
public:
    struct Shape
    {
        int size;
        quint8 first;
        quint8 last;
    };
    enum class Result {
        NeedMore,  // nothing whole yet; what waits may still become the frame
        Frame,     // `frame` holds the expected frame
        Status,    // `frame` holds a status reply that came while another frame was expected
    };

    static constexpr Shape StatusShape{6, 0x02, 0x03};

    void append(const QByteArray &bytes) { m_bytes += bytes; }
    // Takes the next expected frame, skipping bytes before it. A status reply met where a frame
    // with another start byte is expected comes back as Status, so it is never read as that frame.
    Result take(const Shape &expected, QByteArray *frame);

    // How many more bytes must come before `take` can say more than NeedMore: the rest of the
    // frame the waiting bytes begin; 0 when nothing waits or what waits begins no frame.
    int missing(const Shape &expected) const;

    // Drops what waits (the tail of a frame that will never be completed, or a purge).
    void clear() { m_bytes.clear(); }
    int waiting() const { return int(m_bytes.size()); }
    // Bytes were skipped since the last frame was taken or `clear` was called.
    bool skipped() const { return m_skipped; }
    void forgetSkipped() { m_skipped = false; }

private:
    void skip(int count);

    QByteArray m_bytes;
    bool m_skipped = false;
};
