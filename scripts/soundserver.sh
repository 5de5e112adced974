#!/usr/bin/env bash
# Starts a PulseAudio server with a null sink for the current user and keeps a silent stream
# playing so the sink runs in real time; ALSA's "default" device reaches it through the pulse
# plugin. Sourced by test.sh.

zarel_start_sound_server() {
    command -v pulseaudio >/dev/null 2>&1 || return 1
    if pactl info >/dev/null 2>&1; then
        return 0
    fi
    pulseaudio --kill >/dev/null 2>&1 || true
    pulseaudio -n --daemonize=yes --exit-idle-time=-1 --system=false \
        -L module-null-sink -L module-native-protocol-unix >/dev/null 2>&1 || return 1
    local i
    for i in $(seq 1 50); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl info >/dev/null 2>&1 || return 1
    (pacat --playback --latency-msec=50 --rate=22050 --channels=1 --format=s16le /dev/zero >/dev/null 2>&1 &)
    return 0
}
