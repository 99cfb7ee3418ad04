#pragma once

#include "SonosKit/CancellationToken.h"

#include <memory>

// Lets a coroutine that outlives its object find out, after each wait, that
// the object is gone. The flag drops before the token is cancelled, so a
// request aborted by the cancellation already sees the object as ended.
class Lifetime
{
public:
    class Watch
    {
    public:
        bool ended() const { return !*m_alive; }

    private:
        friend class Lifetime;
        explicit Watch(std::shared_ptr<const bool> alive) : m_alive(std::move(alive)) {}
        std::shared_ptr<const bool> m_alive;
    };

    Lifetime() = default;
    Lifetime(const Lifetime &) = delete;
    Lifetime &operator=(const Lifetime &) = delete;
    ~Lifetime() { end(); }

    Watch watch() const { return Watch(m_alive); }
    // Aborts every request made with it once the owner ends.
    const SonosKit::CancellationToken &token() const { return m_token; }

    void end()
    {
        if (!*m_alive)
            return;
        *m_alive = false;
        m_token.cancel();
    }

private:
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    SonosKit::CancellationToken m_token;
};
