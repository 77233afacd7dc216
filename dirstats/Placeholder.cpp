// Keeps the library non-empty while its sources are being written.
