"""Traffic shaped like a present-day site's logs, for the benchmark generator.

A shop-and-blog site visited by current desktop and mobile browsers, crawlers and
scripts. Visits start with a landing page reached from a search engine (with the
query phrase in q= or p=), a social site, another site or nowhere, then pull the
page's assets with the page as referrer and maybe go on to further pages. Landing
URLs carry campaign and click-id query strings, so lines average about 240 bytes,
as real combined logs do. Hosts are reused with a long tail.

Everything is drawn from one random.Random, so one seed always gives the same traffic.
"""

import heapq
import math
from bisect import bisect_right

SITE = "https://www.brindle.example"

WORDS = ["cordless", "drill", "battery", "replacement", "garden", "hose", "reel", "best", "cheap", "review",
         "2024", "how", "to", "fix", "leaking", "tap", "paint", "deck", "stain", "ladder", "safety", "gloves",
         "led", "strip", "lights", "outdoor", "solar", "lamp", "wood", "oil", "sander", "belt", "grit",
         "mitre", "saw", "blade", "router", "table", "workbench", "clamp", "set", "tool", "box", "organiser",
         "discount", "code", "free", "delivery", "uk", "near", "me", "vs", "brushless", "impact", "driver",
         "hedge", "trimmer", "lawn", "mower", "petrol", "electric", "robot", "pressure", "washer", "patio"]

CATEGORIES = ["power-tools", "hand-tools", "garden", "lighting", "paint-and-decorating", "plumbing",
              "electrical", "storage", "safety-wear", "outdoor-living"]

LINES_PER_VISIT = 12.5

CAMPAIGNS = ["spring_sale_2024", "newsletter_week12", "black_friday", "garden_launch", "retargeting_q1",
             "brand_search", "shopping_feed"]


def _chrome_like(rng):
    agents = []
    for v in range(109, 125):
        full = "%d.0.0.0" % v
        agents += [
            "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/%s Safari/537.36" % full,
            "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/%s Safari/537.36" % full,
            "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/%s Safari/537.36" % full,
            "Mozilla/5.0 (Linux; Android 10; K) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/%s Mobile Safari/537.36" % full,
            "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/%s Safari/537.36 "
            "Edg/%d.0.%d.%d" % (full, v, 1500 + (v - 109) * 55, rng.randint(40, 130)),
        ]
    for model, android in [("SM-S918B", 14), ("SM-A546B", 14), ("SM-G991B", 13), ("Pixel 7", 14), ("Pixel 6a", 13)]:
        agents.append("Mozilla/5.0 (Linux; Android %d; %s) AppleWebKit/537.36 (KHTML, like Gecko) "
                      "SamsungBrowser/24.0 Chrome/117.0.0.0 Mobile Safari/537.36" % (android, model))
    for ios in ["17_3_1", "17_4", "16_7_5"]:
        agents.append("Mozilla/5.0 (iPhone; CPU iPhone OS %s like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
                      "CriOS/122.0.6261.89 Mobile/15E148 Safari/604.1" % ios)
    return agents


def _firefox(rng):
    agents = []
    for v in range(115, 125):
        agents += [
            "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:%d.0) Gecko/20100101 Firefox/%d.0" % (v, v),
            "Mozilla/5.0 (Macintosh; Intel Mac OS X 10.15; rv:%d.0) Gecko/20100101 Firefox/%d.0" % (v, v),
            "Mozilla/5.0 (X11; Ubuntu; Linux x86_64; rv:%d.0) Gecko/20100101 Firefox/%d.0" % (v, v),
            "Mozilla/5.0 (Android 14; Mobile; rv:%d.0) Gecko/%d.0 Firefox/%d.0" % (v, v, v),
        ]
    return agents


def _safari(rng):
    agents = []
    for version, ios in [("16.6", "16_6_1"), ("17.0", "17_0_3"), ("17.2.1", "17_2_1"), ("17.3.1", "17_3_1"),
                         ("17.4", "17_4")]:
        agents += [
            "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
            "Version/%s Safari/605.1.15" % version,
            "Mozilla/5.0 (iPhone; CPU iPhone OS %s like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
            "Version/%s Mobile/15E148 Safari/604.1" % (ios, version),
            "Mozilla/5.0 (iPad; CPU OS %s like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
            "Version/%s Mobile/15E148 Safari/604.1" % (ios, version),
        ]
    agents.append("Mozilla/5.0 (iPhone; CPU iPhone OS 17_3_1 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
                  "Mobile/21D61 [FBAN/FBIOS;FBAV/452.0.0.41.108;FBBV/569485617;FBDV/iPhone14,5;FBMD/iPhone;"
                  "FBSN/iOS;FBSV/17.3.1;FBSS/3;FBID/phone;FBLC/en_GB;FBOP/5]")
    return agents


BOTS = [
    "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
    "Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; Googlebot/2.1; +http://www.google.com/bot.html) "
    "Chrome/122.0.6261.94 Safari/537.36",
    "Mozilla/5.0 (Linux; Android 6.0.1; Nexus 5X Build/MMB29P) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/122.0.6261.94 Mobile Safari/537.36 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
    "Googlebot-Image/1.0",
    "Mozilla/5.0 (compatible; bingbot/2.0; +http://www.bing.com/bingbot.htm)",
    "Mozilla/5.0 (compatible; YandexBot/3.0; +http://yandex.com/bots)",
    "Mozilla/5.0 (compatible; AhrefsBot/7.0; +http://ahrefs.com/robot/)",
    "Mozilla/5.0 (compatible; SemrushBot/7~bl; +http://www.semrush.com/bot.html)",
    "Mozilla/5.0 (compatible; MJ12bot/v1.4.8; http://mj12bot.com/)",
    "Mozilla/5.0 (compatible; DotBot/1.2; +https://opensiteexplorer.org/dotbot; help@moz.com)",
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_5) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/13.1.1 "
    "Safari/605.1.15 (Applebot/0.1; +http://www.apple.com/go/applebot)",
    "DuckDuckBot/1.1; (+http://duckduckgo.com/duckduckbot.html)",
    "Mozilla/5.0 (compatible; Baiduspider/2.0; +http://www.baidu.com/search/spider.html)",
    "Mozilla/5.0 (compatible; PetalBot;+https://webmaster.petalsearch.com/site/petalbot)",
    "Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; GPTBot/1.0; +https://openai.com/gptbot)",
    "facebookexternalhit/1.1 (+http://www.facebook.com/externalhit_uatext.php)",
]

SCRIPTS = ["curl/7.88.1", "curl/8.5.0", "python-requests/2.31.0", "Go-http-client/1.1", "Wget/1.21.3",
           "Mozilla/5.0 zgrab/0.x", "-"]


def zipf_weights(count, exponent):
    return [1.0 / (rank + 1) ** exponent for rank in range(count)]


def cumulative(weights):
    total, out = 0.0, []
    for w in weights:
        total += w
        out.append(total)
    return out


class Picker:
    """Weighted choice with precomputed cumulative weights (random.choices recomputes them)."""

    def __init__(self, rng, items, weights):
        self.rng, self.items, self.cum = rng, items, cumulative(weights)

    def __call__(self):
        return self.items[min(bisect_right(self.cum, self.rng.random() * self.cum[-1]), len(self.items) - 1)]


def token(rng, length, alphabet="abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_"):
    return "".join(rng.choice(alphabet) for _ in range(length))


def phrase(rng, low=1, high=5):
    return "+".join(rng.sample(WORDS, rng.randint(low, high)))


def search_referrer(rng, words):
    """A search result page of an engine, with the phrase where that engine puts it."""
    r = rng.random()
    if r < 0.62:
        tail = rng.choice(["&client=firefox-b-d", "&sca_esv=%s&source=hp&ei=%s" % (token(rng, 8), token(rng, 22)),
                           "&rlz=1C1GCEA_enGB1080GB1080&oq=%s&aqs=chrome..69i57j0i512l9.%dj0j7&sourceid=chrome&ie=UTF-8"
                           % (words.split("+")[0], rng.randint(1000, 9999)), ""])
        domain = rng.choice(["www.google.com", "www.google.com", "www.google.co.uk", "www.google.de", "www.google.fr"])
        return "https://%s/search?q=%s%s" % (domain, words, tail)
    if r < 0.78:
        return "https://www.bing.com/search?q=%s&form=QBLH&sp=-1&pq=%s&sc=10-%d&qs=n&cvid=%s" % (
            words, words.split("+")[0], rng.randint(5, 40), token(rng, 32, "0123456789ABCDEF"))
    if r < 0.86:
        return "https://search.yahoo.com/search?p=%s&fr=yfp-t&fr2=p%%3Afp%%2Cm%%3Asb&ei=UTF-8&fp=1" % words
    if r < 0.93:
        return "https://duckduckgo.com/?q=%s&t=h_&ia=web" % words
    if r < 0.97:
        return "https://search.aol.com/aol/search?q=%s&s_it=searchbox&query=%s" % (words, words)
    return "https://www.ecosia.org/search?method=index&q=%s" % words


class RealTraffic:
    """Yields hits (second, host, method, url, protocol, status, size, referrer, agent) in time order."""

    def __init__(self, rng, lines, days, distinct_search=False):
        self.rng = rng
        self.distinct_search = distinct_search
        self.search_count = 0
        browsers = _chrome_like(rng) + _firefox(rng) + _safari(rng)
        rng.shuffle(browsers)
        self.browser = Picker(rng, browsers, zipf_weights(len(browsers), 1.1))
        self.bot = Picker(rng, BOTS, zipf_weights(len(BOTS), 0.8))
        # About one address per fifteen lines, the busiest reused over and over.
        count = max(50, lines // 15)
        hosts = {}
        while len(hosts) < count:
            if rng.random() < 0.04:
                host = "2a02:%x:%x:%x::%x" % (rng.randint(0x1000, 0xffff), rng.randint(0, 0xffff),
                                               rng.randint(0, 0xffff), rng.randint(1, 0xffff))
            else:
                host = "%d.%d.%d.%d" % (rng.choice([31, 37, 46, 51, 62, 77, 81, 86, 90, 92, 109, 176, 178, 185,
                                                    188, 194, 212, 213, 217]),
                                        rng.randint(0, 255), rng.randint(0, 255), rng.randint(1, 254))
            hosts[host] = None
        self.host = Picker(rng, list(hosts), zipf_weights(count, 0.75))
        self.bot_hosts = ["66.249.%d.%d" % (rng.randint(64, 79), rng.randint(1, 254)) for _ in range(40)] + \
                         ["40.77.167.%d" % rng.randint(1, 254) for _ in range(15)] + \
                         ["5.255.231.%d" % rng.randint(1, 254) for _ in range(8)] + \
                         ["54.36.148.%d" % rng.randint(1, 254) for _ in range(12)]
        self.products = ["/product/%s-%s-%d/" % (rng.choice(WORDS), rng.choice(WORDS), 1000 + i) for i in range(1500)]
        self.product_pick = Picker(rng, self.products, zipf_weights(len(self.products), 0.9))
        self.posts = ["/blog/%d/%02d/%s/" % (rng.choice([2021, 2022, 2023, 2024]), rng.randint(1, 12),
                                            "-".join(rng.sample(WORDS, rng.randint(2, 5)))) for _ in range(300)]
        self.uploads = ["/media/%d/%02d/%s-%s.%s" % (
            rng.choice([2022, 2023, 2024]), rng.randint(1, 12), "-".join(rng.sample(WORDS, 2)),
            rng.choice(["1024x683", "768x512", "300x300", "150x150", "scaled"]), rng.choice(["jpg", "webp", "png"]))
            for _ in range(3000)]
        self.upload_pick = Picker(rng, self.uploads, zipf_weights(len(self.uploads), 0.8))
        self.assets = ["/assets/css/main.min.css?v=6.4.3", "/assets/js/app.min.js?v=6.4.3",
                       "/assets/js/jquery.min.js?v=3.7.1", "/assets/js/cart.min.js?v=8.6.1",
                       "/assets/fonts/inter-latin.woff2"]
        # Visits start at the mean rate of the daily rhythm below (0.675), and average about
        # LINES_PER_VISIT lines, so the hits fill about the wanted days.
        self.mean_gap = days * 86400.0 * 0.675 / (lines / LINES_PER_VISIT)
        self.pending = []
        self.order = 0

    # -- pages and their URLs ------------------------------------------------------------------

    def landing_url(self):
        rng = self.rng
        r = rng.random()
        if r < 0.45:
            url = self.product_pick()
        elif r < 0.7:
            url = rng.choice(self.posts)
        elif r < 0.85:
            url = "/shop/category/%s/" % rng.choice(CATEGORIES)
        else:
            url = "/"
        q = rng.random()
        if q < 0.12:
            url += "?utm_source=%s&utm_medium=%s&utm_campaign=%s" % (
                rng.choice(["google", "newsletter", "facebook", "instagram", "bing"]),
                rng.choice(["cpc", "email", "social", "display"]), rng.choice(CAMPAIGNS))
            if rng.random() < 0.3:
                url += "&gclid=%s" % token(rng, 90)
        elif q < 0.16:
            url += "?fbclid=IwAR%s" % token(rng, 58)
        return url

    def next_url(self):
        rng = self.rng
        r = rng.random()
        if r < 0.4:
            return self.product_pick()
        if r < 0.55:
            return "/shop/category/%s/?orderby=%s&paged=%d" % (rng.choice(CATEGORIES),
                                                               rng.choice(["popularity", "price", "price-desc", "date"]),
                                                               rng.randint(1, 6))
        if r < 0.67:
            return "/?s=%s&post_type=product" % phrase(rng, 1, 3)
        if r < 0.8:
            return rng.choice(self.posts)
        return rng.choice(["/cart/", "/checkout/", "/my-account/", "/contact/", "/delivery-and-returns/",
                           "/wp-json/wc/store/v1/cart?_locale=user"])

    def entry_referrer(self):
        rng = self.rng
        r = rng.random()
        if r < 0.33:
            return "-"
        if r < 0.73:
            if rng.random() < 0.2:
                return "https://www.google.com/"
            return search_referrer(rng, phrase(rng))
        if r < 0.85:
            return rng.choice([
                "https://l.facebook.com/l.php?u=https%%3A%%2F%%2Fwww.brindle.example%%2F&h=AT%s" % token(rng, 40),
                "https://t.co/%s" % token(rng, 10),
                "https://www.reddit.com/r/DIY/comments/%s/%s/" % (token(rng, 6, "abcdefghijklmnopqrstuvwxyz0123456789"),
                                                                  "_".join(rng.sample(WORDS, 4))),
                "https://www.pinterest.co.uk/pin/%d/" % rng.randint(10**15, 10**16),
                "android-app://com.google.android.gm/"])
        return rng.choice([
            "https://forum.example-diy.org/viewtopic.php?t=%d&start=%d" % (rng.randint(1000, 99999), rng.randint(0, 20) * 15),
            "https://www.example-reviews.com/best-%s-%s/?amp=1" % (rng.choice(WORDS), rng.choice(WORDS)),
            "https://news.example-home.co.uk/articles/%d/%s" % (rng.randint(100000, 999999), "-".join(rng.sample(WORDS, 5))),
            "https://www.pricecompare.example/search?query=%s&sort=price_asc&page=%d" % (phrase(rng, 1, 3),
                                                                                         rng.randint(1, 5))])

    # -- statuses ---------------------------------------------------------------------------

    def page_status(self):
        r = self.rng.random()
        if r < 0.86:
            return 200, self.rng.randint(18000, 140000)
        if r < 0.89:
            return 304, None
        if r < 0.93:
            return 301, 0
        if r < 0.94:
            return 302, 0
        if r < 0.99:
            return 404, self.rng.randint(9000, 12000)
        if r < 0.995:
            return 403, 199
        return 500, 0

    def asset_status(self, url):
        r = self.rng.random()
        if r < 0.27:
            return 304, None
        if r < 0.285:
            return 404, self.rng.randint(9000, 12000)
        return 200, self.rng.randint(800, 350000) if "/media/" in url else self.rng.randint(3000, 90000)

    # -- visits -----------------------------------------------------------------------------

    def schedule(self, second, *hit):
        heapq.heappush(self.pending, (second, self.order) + hit)
        self.order += 1

    def crawl(self, t):
        rng = self.rng
        agent = self.bot()
        host = self.bot_hosts[hash_text(agent) % len(self.bot_hosts)] if rng.random() < 0.7 else rng.choice(self.bot_hosts)
        self.schedule(t, host, "GET", "/robots.txt", "HTTP/1.1", 200, 412, "-", agent)
        for _ in range(rng.randint(1, 15)):
            t += rng.randint(1, 40)
            r = rng.random()
            if r < 0.1:
                url = rng.choice(["/sitemap_index.xml", "/product-sitemap.xml", "/post-sitemap.xml", "/feed/"])
            elif r < 0.3:
                url = self.upload_pick()
            else:
                url = self.next_url()
            status, size = self.page_status()
            self.schedule(t, host, "HEAD" if rng.random() < 0.03 else "GET", url, "HTTP/1.1", status, size, "-", agent)

    def probe(self, t):
        rng = self.rng
        host = self.host()
        agent = rng.choice(SCRIPTS)
        for url in rng.sample(["/wp-login.php", "/xmlrpc.php", "/.env", "/.git/config", "/admin/config.php",
                               "/wp-content/plugins/revslider/temp/update_extract/revslider/db.php",
                               "/phpmyadmin/index.php?lang=en", "/cgi-bin/luci/;stok=/locale?form=country"],
                              rng.randint(1, 4)):
            status = rng.choice([404, 404, 403, 301])
            self.schedule(t, host, rng.choice(["GET", "GET", "POST"]), url, "HTTP/1.1", status,
                          None if status == 301 else rng.randint(150, 11000), "-", agent)
            t += rng.randint(0, 2)

    def browse(self, t):
        rng = self.rng
        host = self.host()
        agent = self.browser()
        protocol = "HTTP/2.0" if rng.random() < 0.7 else "HTTP/1.1"
        referrer = self.entry_referrer()
        url = self.landing_url()
        for page in range(max(1, int(rng.expovariate(1 / 2.2)))):
            if page:
                url = self.next_url()
            method = "POST" if url in ("/checkout/", "/my-account/") and rng.random() < 0.3 else "GET"
            status, size = self.page_status()
            self.schedule(t, host, method, url, protocol, status, size, referrer, agent)
            page_ref = SITE + url
            if status == 200 and rng.random() < 0.85:
                assets = self.assets[:rng.randint(2, 5)] + [self.upload_pick() for _ in range(rng.randint(1, 6))]
                if page == 0:
                    assets.append("/favicon.ico")
                for res in assets:
                    a_status, a_size = self.asset_status(res)
                    self.schedule(t + rng.randint(0, 2), host, "GET", res, protocol, a_status, a_size, page_ref, agent)
                if rng.random() < 0.2:
                    self.schedule(t + rng.randint(1, 4), host, "POST", "/wp-admin/admin-ajax.php", protocol, 200,
                                  rng.randint(40, 900), page_ref, agent)
            referrer = page_ref
            t += rng.randint(4, 180)

    def visit(self, t):
        r = self.rng.random()
        if r < 0.14:
            self.crawl(t)
        elif r < 0.17:
            self.probe(t)
        else:
            self.browse(t)

    def hits(self, count):
        """The first `count` hits in time order; a hit's referrer is replaced by a fresh search
        page in the distinct-search shape."""
        rng = self.rng
        clock = 0.0
        written = 0
        while written < count:
            # Busier in the afternoon and evening, quiet at night.
            hour = (clock / 3600.0) % 24
            rate = 0.35 + 0.65 * (0.5 - 0.5 * math.cos((hour - 4) / 24 * 2 * math.pi))
            clock += rng.expovariate(1.0 / self.mean_gap) / rate
            now = int(clock)
            self.visit(now)
            while self.pending and self.pending[0][0] <= now and written < count:
                hit = heapq.heappop(self.pending)
                second, _, host, method, url, protocol, status, size, referrer, agent = hit
                if self.distinct_search:
                    self.search_count += 1
                    referrer = search_referrer(rng, "%s+%s" % (phrase(rng, 1, 3), _base36(self.search_count)))
                yield second, host, method, url, protocol, status, size, referrer, agent
                written += 1


def hash_text(text):
    # Stable across runs (Python's own string hash is randomised).
    value = 0
    for ch in text:
        value = (value * 31 + ord(ch)) & 0xFFFFFFFF
    return value


def _base36(n):
    digits = "0123456789abcdefghijklmnopqrstuvwxyz"
    out = ""
    while True:
        n, r = divmod(n, 36)
        out = digits[r] + out
        if n == 0:
            return out
