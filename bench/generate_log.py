#!/usr/bin/env python3
"""Writes a deterministic, realistic combined-format access log for benchmarks.

Visitors (some thousands of addresses, a few host names) browse a small shop-and-blog
site: a page, then its stylesheet, script and images, then maybe more pages with the
previous page as referrer. Spiders crawl pages and robots.txt. Referrers of first pages
come from search engines with query phrases (q=, p=, query=), other sites or nowhere.
Status codes mix 200, 304 (bytes "-"), 206, 404 and 500. Time runs forward over several
weeks with a daily rhythm. The same seed always gives the same file.

    generate_log.py OUTPUT [--lines N] [--seed S] [--start YYYY-MM-DD] [--days D]

Two more shapes come from real_shapes.py (present-day browsers, search and campaign query
strings, about 240 bytes a line):

    generate_log.py OUTPUT --shape real [--lines N] [--days D] ...
    generate_log.py OUTPUT --shape search ...     every line with its own search referrer
    generate_log.py FOLDER --shape w3c --lines N --days D
                                                 one IIS W3C extended file per day (u_exYYMMDD.log)
    generate_log.py OUTPUT --shape repetitive --days 400
                                                 few distinct values, short visits, half the lines
                                                 behind later ones (repetitive_shape.py)
"""

import argparse
import datetime
import heapq
import math
import os
import random

import real_shapes
import repetitive_shape

MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]

WORDS = ["blue", "widget", "cheap", "garden", "tools", "review", "best", "price", "buy", "online",
         "hammer", "drill", "cordless", "battery", "replacement", "manual", "download", "free",
         "how", "to", "fix", "leaking", "tap", "paint", "wood", "deck", "stain", "ladder", "safety",
         "gloves", "brindle", "shop", "discount", "code", "shipping", "europe", "uk", "germany"]

CATEGORIES = ["tools", "garden", "paint", "safety", "lighting", "plumbing", "electrical"]


def build_agents(rng):
    """A few hundred user agents shaped like real browsers, tools and spiders."""
    browsers = []
    nts = ["5.0", "5.1", "5.1", "5.1", "5.2", "6.0"]
    extras = ["", "; SV1", "; .NET CLR 1.1.4322", "; .NET CLR 2.0.50727", "; SV1; .NET CLR 1.1.4322",
              "; InfoPath.1", "; .NET CLR 1.0.3705; .NET CLR 1.1.4322"]
    for version in ["5.0", "5.5", "6.0", "6.0", "7.0"]:
        for nt in nts:
            for extra in extras:
                browsers.append("Mozilla/4.0 (compatible; MSIE %s; Windows NT %s%s)" % (version, nt, extra))
    browsers += ["Mozilla/4.0 (compatible; MSIE 6.0; Windows 98)", "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98; Win 9x 4.90)",
                 "Mozilla/4.0 (compatible; MSIE 5.01; Windows 95)", "Mozilla/4.0 (compatible; MSIE 5.23; Mac_PowerPC)"]
    langs = ["en-US", "en-GB", "de", "fr", "nl", "es-ES"]
    for rv, ff, gecko in [("1.7.12", "1.0.7", "20050915"), ("1.8", "1.5", "20051111"),
                          ("1.8.0.4", "1.5.0.4", "20060508"), ("1.8.0.7", "1.5.0.7", "20060909"),
                          ("1.8.1", "2.0", "20061010"), ("1.8.1.3", "2.0.0.3", "20070309")]:
        for platform in ["Windows; U; Windows NT 5.1", "Windows; U; Windows NT 6.0", "X11; U; Linux i686",
                         "Macintosh; U; PPC Mac OS X Mach-O"]:
            for lang in langs[:4]:
                browsers.append("Mozilla/5.0 (%s; %s; rv:%s) Gecko/%s Firefox/%s" % (platform, lang, rv, gecko, ff))
    for webkit, safari in [("312.5", "312.3"), ("418.8", "419.3"), ("419", "419.3"), ("522.11", "522.11")]:
        for lang in langs[:3]:
            browsers.append("Mozilla/5.0 (Macintosh; U; PPC Mac OS X; %s) AppleWebKit/%s (KHTML, like Gecko) "
                            "Safari/%s" % (lang, webkit, safari))
    for version in ["8.54", "9.00", "9.10", "9.21"]:
        for platform in ["Windows NT 5.1; U", "X11; Linux i686; U"]:
            browsers.append("Opera/%s (%s; en)" % (version, platform))
    for version in ["3.4", "3.5"]:
        browsers.append("Mozilla/5.0 (compatible; Konqueror/%s; Linux) KHTML/%s.2 (like Gecko)" % (version, version))
    browsers += ["Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.7.2) Gecko/20040804 Netscape/7.2 (ax)",
                 "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.7.5) Gecko/20041217 Netscape/7.2",
                 "Lynx/2.8.5rel.1 libwww-FM/2.14 SSL-MM/1.4.1 OpenSSL/0.9.7d",
                 "Wget/1.10.2", "Wget/1.9.1",
                 "FlashGet", "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; GetRight/6.0)",
                 "Teleport Pro/1.29", "WebCopier v4.0", "WebZIP/7.0 (http://www.spidersoft.com)"]
    spiders = ["Googlebot/2.1 (+http://www.google.com/bot.html)",
               "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
               "Googlebot-Image/1.0",
               "msnbot/1.0 (+http://search.msn.com/msnbot.htm)",
               "msnbot-media/1.0 (+http://search.msn.com/msnbot.htm)",
               "Mozilla/5.0 (compatible; Yahoo! Slurp; http://help.yahoo.com/help/us/ysearch/slurp)",
               "Mozilla/5.0 (compatible; Yahoo! Slurp China; http://misc.yahoo.com.cn/help.html)",
               "Baiduspider+(+http://www.baidu.com/search/spider.htm)",
               "ia_archiver", "ia_archiver (+http://www.alexa.com/site/help/webmasters; crawler@alexa.com)",
               "Gigabot/2.0 (http://www.gigablast.com/spider.html)",
               "TurnitinBot/2.0 (http://www.turnitin.com/robot/crawlerinfo.html)",
               "Mozilla/2.0 (compatible; Ask Jeeves/Teoma; +http://sp.ask.com/docs/about/tech_crawling.html)",
               "FAST-WebCrawler/3.8 (atw-crawler at fast dot no; http://fast.no/support/crawler.asp)",
               "Xenu Link Sleuth 1.2g", "psbot/0.1 (+http://www.picsearch.com/bot.html)",
               "ZyBorg/1.0 (wn-16.zyborg@looksmart.net; http://www.WISEnutbot.com)",
               "Mozilla/5.0 (compatible; ScoutJet; +http://www.scoutjet.com/)"]
    browsers = list(dict.fromkeys(browsers))
    rng.shuffle(browsers)
    # Popularity falls off with rank, as it does in real logs.
    weights = [1.0 / (rank + 1) ** 0.9 for rank in range(len(browsers))]
    return browsers, weights, spiders


def build_hosts(rng, count):
    hosts = {}
    first_octets = [24, 62, 66, 80, 81, 82, 83, 84, 85, 86, 87, 88, 193, 194, 195, 200, 201, 203, 210, 212, 213, 217]
    while len(hosts) < count:
        a = rng.choice(first_octets)
        hosts["%d.%d.%d.%d" % (a, rng.randint(0, 255), rng.randint(0, 255), rng.randint(1, 254))] = None
    names = ["proxy1.isp-example.net", "proxy2.isp-example.net", "cache-fra.example-telecom.de",
             "dsl-84-56-12-9.pool.example.fr", "gw.office.example.co.uk", "nat.campus.example.edu",
             "host-213-7-44-1.static.example.it"]
    result = list(hosts) + names
    rng.shuffle(result)
    return result


def build_pages(rng):
    pages = ["/", "/index.html", "/about.html", "/contact.php", "/shipping.html", "/blog/", "/products/",
             "/search.php", "/members/account.php", "/news.html"]
    for cat in CATEGORIES:
        pages.append("/products/%s/" % cat)
        for item in range(rng.randint(15, 40)):
            pages.append("/products/%s/item%03d.html" % (cat, item))
    for year in (2004, 2005):
        for month in range(1, 13):
            for _ in range(rng.randint(1, 4)):
                slug = "-".join(rng.sample(WORDS, 3))
                pages.append("/blog/%d/%02d/%s.html" % (year, month, slug))
    return pages


def phrase(rng):
    return "+".join(rng.sample(WORDS, rng.randint(1, 4)))


def search_referrer(rng):
    p = phrase(rng)
    kind = rng.random()
    if kind < 0.55:
        domain = rng.choice(["www.google.com", "www.google.co.uk", "www.google.de", "www.google.fr"])
        return "http://%s/search?hl=en&q=%s&btnG=Google+Search" % (domain, p)
    if kind < 0.75:
        return "http://search.yahoo.com/search?p=%s&fr=FP-tab-web-t&toggle=1&ei=UTF-8" % p
    if kind < 0.87:
        return "http://search.msn.com/results.aspx?q=%s&FORM=QBHP" % p
    if kind < 0.93:
        return "http://www.alltheweb.com/search?cat=web&cs=iso88591&q=%s&query=%s" % (p, p)
    if kind < 0.97:
        return "http://search.lycos.com/default.asp?loc=searchbox&query=%s" % p
    return "http://search.aol.com/aolcom/search?invocationType=topsearchbox&query=%s" % p


OTHER_SITES = ["http://forum.example.org/viewtopic.php?t=%d", "http://www.example-diy.com/links.html",
               "http://blog.example.net/2005/03/%d.html", "http://www.dmoz.org/Shopping/Home_and_Garden/",
               "http://bookmarks.example.com/user%d"]


def hash_index(text, count):
    # Stable across runs (Python's own string hash is randomised).
    value = 0
    for ch in text:
        value = (value * 31 + ord(ch)) & 0xFFFFFFFF
    return value % count


class Writer:
    """Formats timestamps, once per distinct second."""

    def __init__(self, start, tz):
        self.start = start
        self.tz = tz
        self.cached_second = None
        self.cached_text = ""

    def stamp(self, second):
        if second != self.cached_second:
            t = self.start + datetime.timedelta(seconds=second)
            self.cached_text = "%02d/%s/%04d:%02d:%02d:%02d %s" % (t.day, MONTHS[t.month - 1], t.year, t.hour,
                                                                 t.minute, t.second, self.tz)
            self.cached_second = second
        return self.cached_text


def write_real_combined(args, distinct_search):
    rng = random.Random(args.seed)
    start = datetime.datetime.strptime(args.start, "%Y-%m-%d")
    writer = Writer(start, "+0000")
    traffic = real_shapes.RealTraffic(rng, args.lines, args.days, distinct_search)
    with open(args.output, "w", encoding="ascii", newline="\n") as out:
        buffer = []
        for second, host, method, url, protocol, status, size, referrer, agent in traffic.hits(args.lines):
            buffer.append('%s - - [%s] "%s %s %s" %d %s "%s" "%s"\n' % (
                host, writer.stamp(second), method, url, protocol, status, "-" if size is None else size,
                referrer, agent))
            if len(buffer) >= 10000:
                out.write("".join(buffer))
                buffer.clear()
        out.write("".join(buffer))


W3C_FIELDS = ("date time s-ip cs-method cs-uri-stem cs-uri-query s-port cs-username c-ip cs(User-Agent) "
              "cs(Referer) sc-status sc-substatus sc-win32-status sc-bytes cs-bytes time-taken")


def write_w3c_folder(args):
    """One file per day, each opening with the directives IIS writes, even on a day without hits."""
    rng = random.Random(args.seed)
    start = datetime.datetime.strptime(args.start, "%Y-%m-%d")
    days = int(args.days)
    traffic = real_shapes.RealTraffic(rng, args.lines, days)
    hits = list(traffic.hits(args.lines))
    # Stretched to end on the last day exactly, so that every file has its share.
    scale = (days * 86400 - 1) / (hits[-1][0] + 1)
    by_day = [[] for _ in range(days)]
    for second, host, method, url, protocol, status, size, referrer, agent in hits:
        second = int(second * scale)
        day = second // 86400
        t = start + datetime.timedelta(seconds=second)
        stem, _, query = url.partition("?")
        by_day[day].append("%s %s 10.0.0.4 %s %s %s 443 - %s %s %s %d 0 0 %d %d %d\n" % (
            t.strftime("%Y-%m-%d"), t.strftime("%H:%M:%S"), method, stem, query or "-", host,
            agent.replace(" ", "+"), referrer, status, size or 0, rng.randint(300, 1500), rng.randint(1, 900)))
    os.makedirs(args.output, exist_ok=True)
    for day, lines in enumerate(by_day):
        t = start + datetime.timedelta(days=day)
        first = lines[0].split(" ", 2)[1] if lines else "00:00:00"
        with open(os.path.join(args.output, t.strftime("u_ex%y%m%d.log")), "w", encoding="ascii",
                  newline="\r\n") as out:
            out.write("#Software: Microsoft Internet Information Services 10.0\n#Version: 1.0\n"
                      "#Date: %s %s\n#Fields: %s\n" % (t.strftime("%Y-%m-%d"), first, W3C_FIELDS))
            out.write("".join(lines))


def main():
    parser = argparse.ArgumentParser(description="Write a deterministic access log (or a folder of them).")
    parser.add_argument("output")
    parser.add_argument("--shape", choices=["classic", "real", "search", "w3c", "repetitive"], default="classic")
    parser.add_argument("--lines", type=int, default=1000000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--start", default=None, help="first day (default 2005-03-01, 2024-01-01 for the new shapes)")
    parser.add_argument("--days", type=float, default=None, help="days the log spans (default 28, 30 for the new shapes)")
    args = parser.parse_args()
    if args.shape != "classic":
        args.start = args.start or "2024-01-01"
        args.days = args.days or 30.0
        if args.shape == "w3c":
            write_w3c_folder(args)
        elif args.shape == "repetitive":
            repetitive_shape.write_repetitive(args.output, random.Random(args.seed), args.lines, args.days, args.start)
        else:
            write_real_combined(args, args.shape == "search")
        return
    args.start = args.start or "2005-03-01"
    args.days = args.days or 28.0

    rng = random.Random(args.seed)
    agents, agent_weights, spiders = build_agents(rng)
    hosts = build_hosts(rng, 4000)
    host_weights = [1.0 / (rank + 1) ** 0.7 for rank in range(len(hosts))]
    spider_hosts = ["66.249.%d.%d" % (rng.randint(64, 79), rng.randint(1, 254)) for _ in range(30)]
    spider_hosts += ["crawl-66-249-66-1.googlebot.com", "msnbot.search.msn.com", "lj612134.inktomisearch.com"]
    pages = build_pages(rng)
    images = ["/img/logo.gif", "/img/bg.png", "/img/banner.jpg", "/favicon.ico"]
    product_images = ["/img/products/p%03d.jpg" % i for i in range(400)]
    downloads = ["/download/catalogue-2005.pdf", "/download/manual-%02d.pdf" % 3, "/download/price-list.zip",
                 "/download/setup.exe"]
    host_agent = {}

    # Average gap between visit starts, so that the lines fill about the wanted days.
    lines_per_visit = 11.0
    mean_gap = args.days * 86400.0 / (args.lines / lines_per_visit)

    start = datetime.datetime.strptime(args.start, "%Y-%m-%d")
    pending = []  # (second, order, line parts) of hits not written yet
    order = 0
    clock = 0.0
    written = 0

    def schedule(second, host, user, method, url, status, size, referrer, agent):
        nonlocal order
        heapq.heappush(pending, (second, order, host, user, method, url, status, size, referrer, agent))
        order += 1

    def page_status(url):
        r = rng.random()
        if r < 0.02:
            return 404, rng.randint(200, 400)
        if r < 0.024:
            return 500, rng.randint(300, 600)
        if r < 0.05:
            return 304, None
        return 200, rng.randint(3000, 40000)

    def visit(t):
        if rng.random() < 0.12:
            host = rng.choice(spider_hosts)
            agent = spiders[hash_index(host, len(spiders))]
            schedule(t, host, "-", "GET", "/robots.txt", 200, 68, "-", agent)
            for _ in range(rng.randint(1, 12)):
                t += rng.randint(1, 30)
                url = rng.choice(pages)
                method = "HEAD" if rng.random() < 0.05 else "GET"
                status, size = page_status(url)
                schedule(t, host, "-", method, url, status, size, "-", agent)
            return
        host = rng.choices(hosts, weights=host_weights)[0]
        agent = host_agent.get(host)
        if agent is None or rng.random() < 0.05:
            agent = rng.choices(agents, weights=agent_weights)[0]
            host_agent[host] = agent
        user = "-"
        r = rng.random()
        if r < 0.35:
            referrer = "-"
        elif r < 0.85:
            referrer = search_referrer(rng)
        else:
            referrer = rng.choice(OTHER_SITES)
            if "%d" in referrer:
                referrer = referrer % rng.randint(1, 5000)
        for _ in range(max(1, int(rng.expovariate(1 / 3.0)))):
            url = rng.choice(pages)
            if url.startswith("/products/") and url.endswith(".html") and rng.random() < 0.5:
                url += "?id=%d&ref=%s" % (rng.randint(1, 9999), rng.choice(["home", "list", "mail"]))
            elif url == "/search.php":
                url += "?q=" + phrase(rng)
            if url.startswith("/members/"):
                user = rng.choice(["alice", "bob", "carol", "dave"])
            method = "POST" if url == "/contact.php" and rng.random() < 0.3 else "GET"
            status, size = page_status(url)
            schedule(t, host, user, method, url, status, size, referrer, agent)
            page_ref = "http://www.brindle-shop.example" + url
            if status == 200:
                for res in ["/css/site.css", "/js/site.js"] + rng.sample(images, rng.randint(1, 3)) + \
                        rng.sample(product_images, rng.randint(0, 3)):
                    t2 = t + rng.randint(0, 2)
                    if rng.random() < 0.3:
                        schedule(t2, host, user, "GET", res, 304, None, page_ref, agent)
                    else:
                        schedule(t2, host, user, "GET", res, 200, rng.randint(400, 60000), page_ref, agent)
            if rng.random() < 0.03:
                dl = rng.choice(downloads)
                if rng.random() < 0.3:
                    schedule(t + 3, host, user, "GET", dl, 206, rng.randint(10000, 900000), page_ref, agent)
                else:
                    schedule(t + 3, host, user, "GET", dl, 200, int(min(6e9, rng.lognormvariate(13.5, 1.8))), page_ref, agent)
            referrer = page_ref
            t += rng.randint(5, 240)

    writer = Writer(start, "+0100")
    with open(args.output, "w", encoding="ascii", newline="\n") as out:
        buffer = []
        while written < args.lines:
            # Busier in the afternoon and evening, quiet at night.
            hour = (clock / 3600.0) % 24
            rate = 0.35 + 0.65 * (0.5 - 0.5 * math.cos((hour - 4) / 24 * 2 * math.pi))
            clock += rng.expovariate(1.0 / mean_gap) / rate
            now = int(clock)
            visit(now)
            while pending and pending[0][0] <= now and written < args.lines:
                second, _, host, user, method, url, status, size, referrer, agent = heapq.heappop(pending)
                buffer.append('%s - %s [%s] "%s %s HTTP/1.1" %d %s "%s" "%s"\n' % (
                    host, user, writer.stamp(second), method, url, status, "-" if size is None else size,
                    referrer, agent))
                written += 1
            if len(buffer) >= 10000:
                out.write("".join(buffer))
                buffer.clear()
        out.write("".join(buffer))


if __name__ == "__main__":
    main()
