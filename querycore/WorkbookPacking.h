// Packing a large workbook fast. libxlsxwriter packs the workbook with minizip at zlib's default
// level on one thread and offers no setting; for a sheet of hundreds of megabytes of cell markup
// that is most of an export's time. The program defines the minizip calls the library makes to
// open, write and close a packed part (the library binds to the program's definitions first).
// While a FastPackingScope lives on the calling thread, a deflated part is packed in 1 MiB
// chunks on all cores at zlib's fastest level, each chunk primed with the 32 KiB before it and
// ended on a byte boundary so the chunks join into one deflate stream, its CRC combined from the
// chunks'. Outside a scope every call goes on to minizip unchanged. The file stays a valid zip,
// a little larger than at the default level.
//
// Thread: a scope applies to its own thread; at most a few chunks per core are held at a time.
// Errors: a failed write or close returns minizip's error to the library, which fails the close.
#pragma once

class FastPackingScope {
public:
    FastPackingScope();
    ~FastPackingScope();
    FastPackingScope(const FastPackingScope&) = delete;
    FastPackingScope& operator=(const FastPackingScope&) = delete;
};
