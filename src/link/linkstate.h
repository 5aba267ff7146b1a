#pragma once

// What the link awaits. Nothing in a reply says what it answers, so the link is always in one of
// these, and the exchange that owns it says which frame it takes. The numbers are what the logs
// and the tests have always shown.
enum class LinkState {
    StatusReply = 0,            // the poll's: where the link returns when something arrives that nothing awaits
    Block = 1,                  // the parameter block (code 255)
    DiagnosticRecord = 4,       // the diagnostic record (code 128)
    SilenceAfterWriteCode = 5,  // code 238 went out, the block not yet: whatever comes is dropped
    CutOffByte = 6,             // the cut-off module's byte, read with the reader's own timer
    ScopeSample = 10,           // the oscilloscope's byte of one channel
    MemoryByte = 11,            // one byte of a save, read back
    WrittenBlock = 20,          // the block just written, read back
    WrittenLevels = 21,         // the levels just written, read back
    Levels = 170,               // the level block (code 170)
};
