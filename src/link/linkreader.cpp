#include "linkreader.h"
#include "linktransport.h"

LinkReader::LinkReader(LinkTransport *link, QObject *parent) : QObject(parent), m_link(link)
{
    link->addReader(this);
    connect(&m_silenceGuard, &LinkTimer::fired, this, &LinkReader::silenceElapsed);
}

void LinkReader::silenceFromNow()
{
    m_silenceGuard.restart();
    speak(false);
}

void LinkReader::silenceOff()
{
    m_silenceGuard.disable();
    speak(false);
}

void LinkReader::answered()
{
    if (!reading())
        return;
    m_silenceGuard.restart();
    speak(false);
}

void LinkReader::takeLink(LinkState state)
{
    m_lease = m_link->takeLink(this, state);
}

void LinkReader::handLinkBack()
{
    m_link->handBack(m_lease);
}

void LinkReader::silenceElapsed()
{
    if (reading())
        speak(true);
}

void LinkReader::speak(bool silent)
{
    if (m_silent == silent)
        return;
    m_silent = silent;
    emit readerSilenceChanged(silent);
}
