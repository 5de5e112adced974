/* A playing library that lacks one of its nineteen entries ("Seek"): loading it must fail. */
#include <stdbool.h>
#include <stdint.h>

bool init(void) { return true; }
void deinit(void) { }
void Open(const char *n, int32_t f, void *a, void *b, void *c, void *d, void *e, void *g, void *h)
{
    (void)n; (void)f; (void)a; (void)b; (void)c; (void)d; (void)e; (void)g; (void)h;
}
int32_t Play(int32_t s, int32_t e, bool *ended) { (void)s; (void)e; (void)ended; return 0; }
void Pause(bool r) { (void)r; }
void Stop(void) { }
void Restart(void) { }
void Close(void) { }
void SetPriority(int32_t p) { (void)p; }
void SetOutputDevice(int32_t d, const char *f) { (void)d; (void)f; }
int32_t GetPlayerMode(void) { return 0; }
int32_t GetCurrentPos(void) { return 0; }
int32_t GetLength(void) { return 0; }
int32_t LastError(void) { return 0; }
int32_t GetFrequency(void) { return 0; }
int32_t GetBitrate(void) { return 0; }
int32_t GetLayer(void) { return 0; }
void ResetPlayerMode(void) { }
