#pragma once

// Why a file could not be written: one of the program's own reasons, or
// the system's, with its error number (errno; on Windows GetLastError()).
// A front end puts it in its own words: the window in Japanese
// (ui/systemreason.h), tessiva-batch in English (cli/writereason.h).
enum class WriteFailure {
    None, // written
    System, // the system refused: WriteError::systemError says why
    IsFolder, // the path names a folder
    NotRegular, // a block device, a socket; or a FIFO or device where only a file will do
    ReadOnly, // a read-only file, refused whoever runs the program
    NoReader, // a FIFO that no process reads
    TooManyLinks, // symbolic links that never end
    NoRoomInPlace, // an in-place rewrite the file system cannot promise room for
    Replaced, // the file was swapped for another while it was written
    Locked, // another process holds the file's lock too long
    StreamName, // on Windows, a ":" that names a stream of another file
    SettingsTooLarge, // a settings file too large to read back and rewrite
    NoSettingsPlace, // neither settings file could be written
};

struct WriteError
{
    WriteFailure failure = WriteFailure::None;
    int systemError = 0; // with WriteFailure::System only

    static constexpr WriteError system(int error) { return {WriteFailure::System, error}; }
    constexpr bool failed() const { return failure != WriteFailure::None; }
    friend constexpr bool operator==(const WriteError &, const WriteError &) = default;
};

// The error number of the calling thread's last failed system call, for a
// failure the toolkit reported without one. A failure that left no number
// is taken as an input/output error.
int lastSystemError();
