// Only the host of the shared precompiled header; it holds no code.
