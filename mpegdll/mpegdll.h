// Public C interface of the MP3 playing library libmpegdll.so: its nineteen entries, the stream
// callbacks of Open, and one function-pointer type per entry for callers that load it with dlsym.
#pragma once

#ifdef __cplusplus
#include <cstdint>
#else
#include <stdbool.h>
#include <stdint.h>
#endif

#if defined(MPEGDLL_BUILDING)
#define MPEGDLL_EXPORT __attribute__((visibility("default")))
#else
#define MPEGDLL_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Overview
 * - One player per process: the library holds a single open stream and plays it on a thread of
 *   its own. Every entry is safe to call from any thread (they are serialised internally), but
 *   the intended caller is one user-interface thread.
 * - Integers are 32-bit. Positions and lengths are milliseconds from the start of the stream.
 * - Every entry except LastError sets the code that LastError returns: 0 on success, otherwise
 *   one of MPEGDLL_ERR_*. Getters never fail; without an open stream they return 0.
 * - A stream callback may call the getters; any other entry called from inside a callback is
 *   refused with error 2 (it would wait for itself).
 * - Call init first and deinit last; deinit stops and joins everything, so the library may be
 *   released with dlclose afterwards. Unloading without deinit also stops the player, but
 *   calls no stream callback any more.
 * - Load the library with RTLD_NOW | RTLD_LOCAL: its entry names are short and generic.
 */

/* LastError codes. */
enum {
    MPEGDLL_OK = 0,
    MPEGDLL_ERR_DECODER = 1, /* the decoder could not be created or initialised */
    MPEGDLL_ERR_MODE = 2, /* the call does not fit the player's state, or init was not called */
    MPEGDLL_ERR_INPUT = 3, /* missing, unreadable or non-MP3 input */
    MPEGDLL_ERR_NONSEEKABLE = 4, /* a seek or restart on a stream that cannot go back */
    MPEGDLL_ERR_OUTPUT = 5 /* the output device or PCM file could not be opened */
};

/* GetPlayerMode values. */
enum {
    MPEGDLL_MODE_CLOSED = 0, /* no stream open */
    MPEGDLL_MODE_STOPPED = 1, /* a stream is open and not playing */
    MPEGDLL_MODE_PAUSED = 2,
    MPEGDLL_MODE_PLAYING = 3,
    MPEGDLL_MODE_ENDED = 4, /* played to its end; the end flag was set */
    MPEGDLL_MODE_FAILED = 5 /* playing stopped early on a decoder or device failure; the end
                               flag was set */
};

/* SetOutputDevice codes. */
enum {
    MPEGDLL_DEVICE_DEFAULT = 0, /* the ALSA "default" PCM device */
    MPEGDLL_DEVICE_PCMFILE = 2 /* raw signed 16-bit little-endian interleaved PCM in a file */
};

/* Buffer sizes the entries read their names from; a name must end within its buffer. */
enum { MPEGDLL_STREAM_NAME_SIZE = 512, MPEGDLL_OUTPUT_NAME_SIZE = 260 };

/*
 * Stream callbacks of Open with stream flag 1. Each receives first the context pointer given to
 * Open. They are never called concurrently: during Open, and while Play and Restart rewind the
 * stream, on the caller's thread; while playing on the player thread; close on the thread that
 * closes the stream.
 * - open: called once by Open before any read. Set *nonseekable to true when the stream cannot
 *   move backwards (seek is then never called); *streamContext is the owner's to fill in and is
 *   not used by the library. Both arrive cleared.
 * - close: called once for every open, when the stream is closed (Close, a new Open, deinit, or
 *   a failed Open). The context must stay valid until then.
 * - restart: rewind the stream to its first byte; *result true = done. Used to play a
 *   non-seekable stream again (or a seekable one whose seek to byte 0 fails).
 * - read: copy up to bytesToRead bytes into buffer, store the count in *bytesRead and set
 *   *result true; *bytesRead 0 with *result true is the end of the stream, *result false is an
 *   error.
 * - seek: move by distance bytes from the start (moveMethod 0), the current position (1) or the
 *   end (2); store the new position, or -1 on failure, in *newPosition.
 * - size: store the stream's size in bytes, or -1 when unknown, in *size.
 */
typedef void (*MpegOpenStreamCallback)(void *context, bool *nonseekable, void **streamContext);
typedef void (*MpegCloseStreamCallback)(void *context);
typedef void (*MpegRestartStreamCallback)(void *context, bool *result);
typedef void (*MpegReadStreamCallback)(void *context, void *buffer, int32_t bytesToRead,
                                       int32_t *bytesRead, bool *result);
typedef void (*MpegSeekStreamCallback)(void *context, int32_t distance, int32_t moveMethod,
                                       int32_t *newPosition);
typedef void (*MpegStreamSizeCallback)(void *context, int32_t *size);

/* Initialises the decoder. True = ready; false sets LastError 1. Calling it again is harmless. */
MPEGDLL_EXPORT bool init(void);

/* Stops playing, closes the stream and joins the player thread. Entries then report error 2
 * until init is called again. */
MPEGDLL_EXPORT void deinit(void);

/* Opens an MP3 stream, closing any open one first. streamFlag 0: name is a file name
 * (zero-terminated within MPEGDLL_STREAM_NAME_SIZE bytes) and the callbacks and context are
 * ignored. streamFlag 1: name is ignored and the data comes through the callbacks (read is
 * required, the others may be null). Errors: 3 when the input is missing, unreadable or not an
 * MP3 stream (no stream stays open), 1 when the decoder fails, 2 before init. */
MPEGDLL_EXPORT void Open(const char *name, int32_t streamFlag, MpegOpenStreamCallback open,
                         MpegCloseStreamCallback close, MpegRestartStreamCallback restart,
                         MpegReadStreamCallback read, MpegSeekStreamCallback seek,
                         MpegStreamSizeCallback size, void *context);

/* Starts playing the open stream from startPos to endPos (ms; endPos 0 = to the end; negative
 * values count as 0) on the current output device, stopping any play in progress first. Every
 * play decodes the stream afresh from its start (what lies before startPos is decoded and
 * dropped on the player thread), so it gives exactly the samples of a continuous decode. When
 * the last sample has been handed to the device (or written to the file), the player thread
 * stores true in *ended (may be null); a Stop, Close or new Play sets nothing. The address is
 * kept for Restart, also across Open, until deinit: it must stay valid that long. Returns 0
 * when started, otherwise the error code: 2 (no stream), 3 (the source cannot be read again),
 * 4 (a non-seekable stream that was already read and whose restart callback is missing or
 * fails), 5 (the output cannot be opened). */
MPEGDLL_EXPORT int32_t Play(int32_t startPos, int32_t endPos, bool *ended);

/* resume false pauses a playing stream, true resumes a paused one; anything else is error 2. */
MPEGDLL_EXPORT void Pause(bool resume);

/* Stops playing or paused playback; the position stays where it stopped. Error 2 when nothing
 * is playing, including after the end was reached. */
MPEGDLL_EXPORT void Stop(void);

/* Plays the open stream again, as Play with the range and end flag of the last Play (the whole
 * stream when Play was not called since Open). Error 2 without an open stream, otherwise as
 * Play. */
MPEGDLL_EXPORT void Restart(void);

/* Stops playing and closes the open stream. Harmless when nothing is open. */
MPEGDLL_EXPORT void Close(void);

/* Priority of the player thread, as the values -15 (idle), -2, -1, 0 (normal), 1, 2, 15 (time
 * critical); others are clamped to the nearest step. Mapped to the thread's nice value; a raise
 * the process may not make is silently left out. Applies at once and to later plays. */
MPEGDLL_EXPORT void SetPriority(int32_t priority);

/* Chooses the output of later plays: device 0 (fileName ignored) or device 2 with fileName
 * zero-terminated within MPEGDLL_OUTPUT_NAME_SIZE bytes. The file is written through a temporary
 * file in the same folder and renamed into place when playing stops or ends. Error 5 for any
 * other device code or a missing file name; the previous choice then stays. */
MPEGDLL_EXPORT void SetOutputDevice(int32_t device, const char *fileName);

/* One of MPEGDLL_MODE_*. */
MPEGDLL_EXPORT int32_t GetPlayerMode(void);

/* Position of the sample the listener hears now (ms), at most GetLength. */
MPEGDLL_EXPORT int32_t GetCurrentPos(void);

/* Length of the open stream (ms): exact for files and seekable streams, estimated otherwise
 * (0 when the size is unknown). */
MPEGDLL_EXPORT int32_t GetLength(void);

/* The code set by the last call of any other entry. */
MPEGDLL_EXPORT int32_t LastError(void);

/* Sample rate of the open stream in Hz. */
MPEGDLL_EXPORT int32_t GetFrequency(void);

/* Bit rate of the frame decoded last, in kbit/s. */
MPEGDLL_EXPORT int32_t GetBitrate(void);

/* MPEG audio layer of the open stream: 1, 2 or 3. */
MPEGDLL_EXPORT int32_t GetLayer(void);

/* Returns an ended or failed player to "stopped"; other modes are kept. */
MPEGDLL_EXPORT void ResetPlayerMode(void);

/* Moves the position to pos (ms, clamped to the stream): while playing or paused the player
 * jumps there (samples right after a jump may differ in the last bit from a continuous
 * decode); otherwise only GetCurrentPos changes, as the next Play starts at its own start
 * position. Error 2 without a stream, 4 on a non-seekable stream. */
MPEGDLL_EXPORT void Seek(int32_t pos);

/* Function-pointer types for dlsym. */
typedef bool (*MpegInitFn)(void);
typedef void (*MpegDeinitFn)(void);
typedef void (*MpegOpenFn)(const char *, int32_t, MpegOpenStreamCallback, MpegCloseStreamCallback,
                           MpegRestartStreamCallback, MpegReadStreamCallback,
                           MpegSeekStreamCallback, MpegStreamSizeCallback, void *);
typedef int32_t (*MpegPlayFn)(int32_t, int32_t, bool *);
typedef void (*MpegPauseFn)(bool);
typedef void (*MpegStopFn)(void);
typedef void (*MpegRestartFn)(void);
typedef void (*MpegCloseFn)(void);
typedef void (*MpegSetPriorityFn)(int32_t);
typedef void (*MpegSetOutputDeviceFn)(int32_t, const char *);
typedef int32_t (*MpegGetPlayerModeFn)(void);
typedef int32_t (*MpegGetCurrentPosFn)(void);
typedef int32_t (*MpegGetLengthFn)(void);
typedef int32_t (*MpegLastErrorFn)(void);
typedef int32_t (*MpegGetFrequencyFn)(void);
typedef int32_t (*MpegGetBitrateFn)(void);
typedef int32_t (*MpegGetLayerFn)(void);
typedef void (*MpegResetPlayerModeFn)(void);
typedef void (*MpegSeekFn)(int32_t);

#ifdef __cplusplus
}
#endif
