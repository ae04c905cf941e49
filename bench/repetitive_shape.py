"""A busy small site's log: few distinct values repeated over and over, many short visits,
and two servers' lines merged as they arrived, so half of them come after later ones.

Pools: about 1,800 addresses, 1,500 URLs, 100 user agents and a few dozen referrers, each
picked by popularity. A visit is one to four hits a few seconds apart. Server A's lines are
written as they happen; server B buffers its lines and flushes them 64 at a time, so its
lines land behind A's later ones.
"""

import datetime
import heapq

import real_shapes
from real_shapes import Picker, zipf_weights

HOSTS = 1800
URLS = 1500
AGENTS = 100
FLUSH_LINES = 64
SITE = "https://shop.brindle.example"
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]


def _hosts(rng):
    hosts = {}
    while len(hosts) < HOSTS:
        hosts["%d.%d.%d.%d" % (rng.choice([5, 31, 46, 78, 82, 91, 109, 141, 185, 193, 213]), rng.randint(0, 255),
                               rng.randint(0, 255), rng.randint(1, 254))] = None
    return list(hosts)


def _urls(rng):
    urls = {"/": None, "/robots.txt": None, "/favicon.ico": None}
    kinds = ["/item/%d.html", "/list/%d/", "/img/%d.jpg", "/static/%d.css", "/news/%d.html"]
    while len(urls) < URLS:
        urls[rng.choice(kinds) % rng.randint(1, 4000)] = None
    return list(urls)


def _agents(rng):
    agents = list(dict.fromkeys(real_shapes._chrome_like(rng) + real_shapes._firefox(rng) + real_shapes._safari(rng)
                                + real_shapes.BOTS))
    rng.shuffle(agents)
    return agents[:AGENTS]


class RepetitiveTraffic:
    def __init__(self, rng, lines, days):
        self.rng = rng
        self.host = Picker(rng, _hosts(rng), zipf_weights(HOSTS, 0.8))
        self.urls = _urls(rng)
        self.url = Picker(rng, self.urls, zipf_weights(URLS, 0.9))
        self.agent = Picker(rng, _agents(rng), zipf_weights(AGENTS, 1.0))
        referrers = ["-"] * 10 + [SITE + u for u in self.urls[:25]] + [
            "https://www.google.com/", "https://www.bing.com/search?q=brindle+shop", "https://duckduckgo.com/",
            "https://www.google.co.uk/search?q=garden+tools", "https://t.co/brindle"]
        self.referrer = Picker(rng, referrers, zipf_weights(len(referrers), 0.7))
        # Visits average 2.5 hits, spread evenly over the days.
        self.mean_gap = days * 86400.0 / (lines / 2.5)

    def status(self):
        r = self.rng.random()
        if r < 0.8:
            return 200, self.rng.randint(500, 60000)
        if r < 0.92:
            return 304, None
        if r < 0.97:
            return 404, 1200
        return 301, 0

    def hits(self, count):
        """(second, server, host, method, url, status, size, referrer, agent) in time order."""
        rng = self.rng
        pending = []
        order = 0
        clock = 0.0
        written = 0
        while written < count:
            clock += rng.expovariate(1.0 / self.mean_gap)
            now = int(clock)
            host, agent, server = self.host(), self.agent(), rng.randint(0, 1)
            referrer = self.referrer()
            t = now
            for _ in range(rng.randint(1, 4)):
                url = self.url()
                status, size = self.status()
                heapq.heappush(pending, (t, order, server, host, "GET", url, status, size, referrer, agent))
                order += 1
                referrer = SITE + url
                t += rng.randint(1, 20)
            while pending and pending[0][0] <= now and written < count:
                hit = heapq.heappop(pending)
                yield (hit[0],) + hit[2:]
                written += 1


def write_repetitive(path, rng, lines, days, start):
    writer_start = datetime.datetime.strptime(start, "%Y-%m-%d")
    held = []        # server B's lines since its last flush
    with open(path, "w", encoding="ascii", newline="\n") as out:
        buffer = []
        for second, server, host, method, url, status, size, referrer, agent in \
                RepetitiveTraffic(rng, lines, days).hits(lines):
            t = writer_start + datetime.timedelta(seconds=second)
            stamp = "%02d/%s/%04d:%02d:%02d:%02d +0000" % (t.day, MONTHS[t.month - 1], t.year, t.hour, t.minute,
                                                          t.second)
            line = '%s - - [%s] "%s %s HTTP/1.1" %d %s "%s" "%s"\n' % (
                host, stamp, method, url, status, "-" if size is None else size, referrer, agent)
            (held if server else buffer).append(line)
            if len(held) >= FLUSH_LINES:
                buffer.extend(held)
                held.clear()
            if len(buffer) >= 10000:
                out.write("".join(buffer))
                buffer.clear()
        buffer.extend(held)
        out.write("".join(buffer))
