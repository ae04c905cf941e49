#!/usr/bin/env python3
"""Writes the two sample logs of the sample profiles, always the same bytes for the same seed.

  resources/Sample/sample1.log  Apache combined log of www.example.com, six weeks
  resources/Sample/sample2.log  IIS 6.0 W3C extended log of www.example.net, four weeks

Visitors come as sessions: an entry page reached from a search engine, another site or
nowhere, a few more pages with their images, now and then a download, a missing page or a
server error. User agents and search-engine referrers are ones the built-in classification
lists know, so that the browser, system, spider and search reports of the samples have rows.

Usage: scripts/make-samples.py [--out DIR] [--seed N]
"""

import argparse
import datetime
import os
import random

DEFAULT_SEED = 20070305

# ---- visitors -------------------------------------------------------------------------------

# (weight, user agent) of people; the names the lists give them are in the comments.
BROWSERS = [
    (30, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 1.1.4322)"),  # IE 6, XP
    (16, "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1; .NET CLR 2.0.50727)"),  # IE 7, XP
    (8, "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.0; SLCC1; .NET CLR 2.0.50727)"),  # IE 7, Vista
    (5, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"),  # IE 6, 2000
    (2, "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98)"),  # IE 5, 98
    (1, "Mozilla/4.0 (compatible; MSIE 4.01; Windows CE; PPC; 240x320)"),  # IE 4, CE
    (14, "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.8.1.3) Gecko/20070309 Firefox/2.0.0.3"),
    (4, "Mozilla/5.0 (Windows; U; Windows NT 5.2; de; rv:1.8.0.10) Gecko/20070216 Firefox/1.5.0.10"),
    (5, "Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.8.1.2) Gecko/20070220 Firefox/2.0.0.2"),
    (5, "Mozilla/5.0 (Macintosh; U; PPC Mac OS X; en) AppleWebKit/418.9.1 (KHTML, like Gecko) Safari/419.3"),
    (3, "Opera/9.10 (Windows NT 5.1; U; en)"),
    (1, "Mozilla/5.0 (compatible; Konqueror/3.5; Linux) KHTML/3.5.5 (like Gecko)"),
    (1, "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.4) Gecko/20030624 Netscape/7.1 (ax)"),
    (1, "Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.7.13) Gecko/20060418"),  # Mozilla/5.x
    (1, "Lynx/2.8.5rel.1 libwww-FM/2.14 SSL-MM/1.4.1 OpenSSL/0.9.7d"),
    (1, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1) Opera 8.54"),  # IE 6 by the list's order
]

# Download managers fetch files only.
DOWNLOADERS = ["Wget/1.10.2", "FlashGet", "GetRight/6.1", "Mozilla/4.0 (compatible; DA 7.0; Windows NT 5.1)"]

# (user agent, first two octets of its addresses); spiders fetch robots.txt and pages.
SPIDERS = [
    ("Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)", (66, 249)),
    ("msnbot/1.0 (+http://search.msn.com/msnbot.htm)", (65, 55)),
    ("Mozilla/5.0 (compatible; Yahoo! Slurp; http://help.yahoo.com/help/us/ysearch/slurp)", (72, 30)),
    ("ia_archiver", (209, 234)),
    ("Gigabot/2.0 (http://www.gigablast.com/spider.html)", (64, 62)),
    ("Mozilla/2.0 (compatible; AskJeeves/Teoma)", (65, 214)),
    ("Baiduspider+(+http://www.baidu.com/search/spider.htm)", (220, 181)),
]

# First octets of public address ranges on several continents.
ADDRESS_PREFIXES = [24, 41, 58, 61, 62, 66, 68, 71, 75, 76, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91,
                    121, 122, 124, 128, 141, 189, 190, 193, 194, 195, 196, 200, 201, 202, 203, 210, 211, 212,
                    213, 217, 218, 219, 220, 221, 222]

HOST_NAMES = ["proxy1.isp-example.net", "dsl-82-113.pool.example.de", "ws12.univ-example.fr",
              "cache-03.example.co.uk", "host31.example.com.au", "gw.example.jp", "pc-184.example.nl",
              "nat.office.example.ca", "dialup-17.example.it", "fw.example.se"]

# ---- referrers ------------------------------------------------------------------------------

PHRASES = ["widget", "blue widget", "widget installation guide", "cheap widgets", "gadget review",
           "widget manual pdf", "gadget download", "\"widget pro\"", "widget support", "how to fix a widget",
           "café widget", "gadget 1.2", "widget vs gadget", "free widget software", "gadget price"]

# (weight, referrer pattern); {q} is the phrase in query form. Every one is matched by the
# search-engine list (its text and one of its query keys).
SEARCH_ENGINES = [
    (30, "http://www.google.com/search?hl=en&q={q}&btnG=Google+Search"),
    (8, "http://www.google.de/search?q={q}&ie=UTF-8&oe=UTF-8"),
    (5, "http://www.google.co.uk/search?hl=en&q={q}&meta="),
    (10, "http://search.yahoo.com/search?p={q}&fr=yfp-t-501&toggle=1"),
    (6, "http://search.msn.com/results.aspx?q={q}&FORM=QBRE"),
    (2, "http://www.altavista.com/web/results?itag=ody&q={q}&kgs=1"),
    (2, "http://www.alltheweb.com/search?cat=web&query={q}"),
    (2, "http://search.aol.com/aol/search?query={q}&invocationType=topsearchbox"),
    (1, "http://search.lycos.com/?query={q}&x=0&y=0"),
    (1, "http://www.excite.com/search.gw?search={q}"),
    (1, "http://www.dogpile.com/search?q={q}"),
]

OTHER_SITES = ["http://www.example.org/links.html", "http://forum.example.info/viewtopic.php?t=1234",
               "http://blog.example.net/2007/03/widgets/", "http://www.dmoz.org/Computers/Software/",
               "http://news.example.co.uk/technology/story.html", "http://www.example.edu/~lab/resources.html"]


def query_form(phrase):
    """A phrase as browsers put it in a query: "+" for spaces, UTF-8 and quotes escaped."""
    out = []
    for byte in phrase.encode("utf-8"):
        ch = chr(byte)
        if ch == " ":
            out.append("+")
        elif ch.isalnum() and byte < 128 or ch in "-_.":
            out.append(ch)
        else:
            out.append("%%%02X" % byte)
    return "".join(out)


# ---- sites ----------------------------------------------------------------------------------

class Site:
    def __init__(self, host, default_page, pages, images, downloads, missing, broken):
        self.host = host
        self.default_page = default_page
        self.pages = pages          # (path, query or "", size, images shown)
        self.images = images        # path -> size
        self.downloads = downloads  # (path, size)
        self.missing = missing      # paths that answer 404
        self.broken = broken        # paths that answer 500

    def url(self, path):
        return "http://" + self.host + path


APACHE_SITE = Site(
    "www.example.com", "index.html",
    pages=[("/", "", 8421, ["/images/logo.gif", "/images/banner.jpg", "/css/style.css"]),
           ("/index.html", "", 8421, ["/images/logo.gif", "/images/banner.jpg", "/css/style.css"]),
           ("/products/", "", 6120, ["/images/logo.gif", "/images/widget.png", "/images/gadget.png"]),
           ("/products/widget.html", "", 11032, ["/images/logo.gif", "/images/widget.png", "/images/widget-big.jpg"]),
           ("/products/gadget.html", "", 9876, ["/images/logo.gif", "/images/gadget.png"]),
           ("/products/list.php", "category=tools&page=2", 7340, ["/images/logo.gif"]),
           ("/support/faq.html", "", 15230, ["/images/logo.gif"]),
           ("/support/contact.php", "", 4310, ["/images/logo.gif"]),
           ("/search.php", "q=widget+manual", 5230, ["/images/logo.gif"]),
           ("/news/2007/march.html", "", 6712, ["/images/logo.gif", "/images/news.jpg"]),
           ("/blog/", "", 12044, ["/images/logo.gif"]),
           ("/blog/archives.php", "month=2007-02", 9321, ["/images/logo.gif"]),
           ("/about.html", "", 3920, ["/images/logo.gif", "/images/team.jpg"]),
           ("/members/index.html", "", 5101, ["/images/logo.gif"])],
    images={"/images/logo.gif": 2342, "/images/banner.jpg": 18231, "/css/style.css": 3120,
            "/images/widget.png": 14220, "/images/gadget.png": 12983, "/images/widget-big.jpg": 48211,
            "/images/news.jpg": 21010, "/images/team.jpg": 33120},
    downloads=[("/downloads/widget-setup-1.2.exe", 1843200), ("/downloads/manual.pdf", 482133),
               ("/downloads/widget-1.2.tar.gz", 912384), ("/downloads/sources-1.2.zip", 1021344),
               ("/media/intro.mp3", 2310144), ("/media/demo.avi", 5312000)],
    missing=["/favicon.ico", "/old/products.html", "/products/widgit.html", "/images/spacer.gif"],
    broken=["/cgi-bin/form.pl"])

IIS_SITE = Site(
    "www.example.net", "index.htm",
    pages=[("/", "", 7210, ["/img/logo.gif", "/img/header.jpg", "/styles/main.css"]),
           ("/index.htm", "", 7210, ["/img/logo.gif", "/img/header.jpg", "/styles/main.css"]),
           ("/catalog/default.aspx", "", 9342, ["/img/logo.gif", "/img/catalog.jpg"]),
           ("/catalog/item.asp", "id=12", 6120, ["/img/logo.gif", "/img/item12.jpg"]),
           ("/catalog/item.asp", "id=27&color=blue", 6240, ["/img/logo.gif", "/img/item27.jpg"]),
           ("/search.aspx", "q=gadget&lang=en", 5433, ["/img/logo.gif"]),
           ("/support/index.htm", "", 8120, ["/img/logo.gif"]),
           ("/support/kb/article.aspx", "kb=1043", 10233, ["/img/logo.gif"]),
           ("/company/about.htm", "", 4120, ["/img/logo.gif", "/img/office.jpg"]),
           ("/intranet/default.aspx", "", 3920, ["/img/logo.gif"])],
    images={"/img/logo.gif": 3011, "/img/header.jpg": 22043, "/styles/main.css": 4213, "/img/catalog.jpg": 18300,
            "/img/item12.jpg": 15321, "/img/item27.jpg": 16011, "/img/office.jpg": 28412},
    downloads=[("/files/gadget-setup.exe", 2211840), ("/files/datasheet.pdf", 312004),
               ("/files/drivers.zip", 734112), ("/files/tour.wmv", 4120334)],
    missing=["/favicon.ico", "/catalog/item.asp.bak", "/old/index.html", "/img/blank.gif"],
    broken=["/catalog/order.asp"])

MEMBER_PATHS = ("/members/", "/intranet/")
USER_NAMES = ["jsmith", "mdupont", "akowalski", "lchen"]

# ---- traffic --------------------------------------------------------------------------------

# Share of the day's visits per hour, quiet at night and highest in the afternoon.
HOURLY = [2, 1, 1, 1, 1, 2, 3, 5, 8, 10, 11, 11, 10, 11, 12, 12, 11, 9, 8, 8, 7, 6, 4, 3]


class Traffic:
    def __init__(self, rng, site, host_names):
        self.rng = rng
        self.site = site
        self.host_names = host_names
        self.hits = []  # (time, record)
        self.people = [self.new_person() for _ in range(260)]

    def new_person(self):
        rng = self.rng
        if self.host_names and rng.random() < 0.08:
            host = rng.choice(HOST_NAMES)
        else:
            host = "%d.%d.%d.%d" % (rng.choice(ADDRESS_PREFIXES), rng.randint(0, 255), rng.randint(0, 255),
                                    rng.randint(1, 254))
        agent = rng.choices([a for _, a in BROWSERS], weights=[w for w, _ in BROWSERS])[0]
        return {"host": host, "agent": agent, "seen": set(), "user": rng.choice(USER_NAMES)}

    def hit(self, when, person_host, agent, method, path, query, status, size, referrer, user="-",
            protocol="HTTP/1.1"):
        self.hits.append((when, {"host": person_host, "agent": agent, "method": method, "path": path,
                                 "query": query, "status": status, "size": size, "referrer": referrer,
                                 "user": user, "protocol": protocol}))

    def entry_referrer(self):
        rng = self.rng
        roll = rng.random()
        if roll < 0.45:
            pattern = rng.choices([p for _, p in SEARCH_ENGINES], weights=[w for w, _ in SEARCH_ENGINES])[0]
            return pattern.format(q=query_form(rng.choice(PHRASES)))
        if roll < 0.65:
            return rng.choice(OTHER_SITES)
        return "-"

    def page_view(self, when, person, page, referrer):
        rng = self.rng
        path, query, size, images = page
        user = person["user"] if path.startswith(MEMBER_PATHS) else "-"
        self.hit(when, person["host"], person["agent"], "GET", path, query, 200, size + rng.randint(-40, 40),
                 referrer, user)
        page_url = self.site.url(path) + ("?" + query if query else "")
        for image in images:
            when += datetime.timedelta(seconds=rng.randint(0, 2))
            if image in person["seen"] and rng.random() < 0.8:
                self.hit(when, person["host"], person["agent"], "GET", image, "", 304, 0, page_url)
            else:
                person["seen"].add(image)
                self.hit(when, person["host"], person["agent"], "GET", image, "", 200, self.site.images[image],
                         page_url)
        return when, page_url

    def session(self, start):
        rng = self.rng
        person = rng.choice(self.people)
        when = start
        referrer = self.entry_referrer()
        for _ in range(rng.choices([1, 2, 3, 4, 5, 6], weights=[25, 25, 20, 14, 10, 6])[0]):
            page = rng.choice(self.site.pages)
            when, referrer = self.page_view(when, person, page, referrer)
            extra = rng.random()
            if extra < 0.08:
                self.download(when + datetime.timedelta(seconds=rng.randint(3, 20)), person, referrer)
            elif extra < 0.13:
                path = rng.choice(self.site.missing)
                self.hit(when + datetime.timedelta(seconds=1), person["host"], person["agent"], "GET", path, "",
                         404, 290 + len(path), referrer)
            elif extra < 0.14:
                path = rng.choice(self.site.broken)
                self.hit(when + datetime.timedelta(seconds=2), person["host"], person["agent"], "POST", path, "",
                         500, 612, referrer)
            when += datetime.timedelta(seconds=rng.randint(8, 240))

    def download(self, when, person, referrer):
        rng = self.rng
        path, size = rng.choice(self.site.downloads)
        agent = person["agent"] if rng.random() < 0.7 else rng.choice(DOWNLOADERS)
        if rng.random() < 0.25:
            # An interrupted transfer, resumed later with a range request.
            part = rng.randint(size // 10, size // 2)
            self.hit(when, person["host"], agent, "GET", path, "", 200, part, referrer)
            self.hit(when + datetime.timedelta(seconds=rng.randint(30, 600)), person["host"], agent, "GET", path,
                     "", 206, size - part, referrer)
        else:
            self.hit(when, person["host"], agent, "GET", path, "", 200, size, referrer)

    def spider_visit(self, start):
        rng = self.rng
        agent, (a, b) = rng.choice(SPIDERS)
        host = "%d.%d.%d.%d" % (a, b, rng.randint(0, 255), rng.randint(1, 254))
        when = start
        self.hit(when, host, agent, "GET", "/robots.txt", "", 200 if rng.random() < 0.5 else 404, 68, "-",
                 protocol="HTTP/1.0")
        for _ in range(rng.randint(1, 4)):
            when += datetime.timedelta(seconds=rng.randint(1, 90))
            path, query, size, _ = rng.choice(self.site.pages)
            status = 304 if rng.random() < 0.3 else 200
            self.hit(when, host, agent, "GET", path, query, status, 0 if status == 304 else size, "-",
                     protocol="HTTP/1.0")

    def day(self, date, visits, spiders):
        rng = self.rng
        for count, visit in ((visits, self.session), (spiders, self.spider_visit)):
            for _ in range(count):
                hour = rng.choices(range(24), weights=HOURLY)[0]
                visit(datetime.datetime(date.year, date.month, date.day, hour, rng.randint(0, 59),
                                        rng.randint(0, 59)))

    def run(self, first_day, days, busy_visits):
        for n in range(days):
            date = first_day + datetime.timedelta(days=n)
            weekend = date.weekday() >= 5
            visits = self.rng.randint(busy_visits // 2, busy_visits) // (2 if weekend else 1)
            self.day(date, visits, self.rng.randint(1, 3))
        # Hits of sessions that overlap are written in time order, as a server writes them.
        self.hits.sort(key=lambda item: item[0])
        return self.hits


# ---- writers --------------------------------------------------------------------------------

MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]


def central_european_zone(when):
    # Summer time began on 25 March 2007 at 02:00.
    return "+0200" if when >= datetime.datetime(2007, 3, 25, 2) else "+0100"


def apache_line(when, rec):
    target = rec["path"] + ("?" + rec["query"] if rec["query"] else "")
    size = "-" if rec["status"] == 304 or rec["size"] == 0 else str(rec["size"])
    stamp = "%02d/%s/%04d:%02d:%02d:%02d %s" % (when.day, MONTHS[when.month - 1], when.year, when.hour, when.minute,
                                                 when.second, central_european_zone(when))
    return '%s - %s [%s] "%s %s %s" %d %s "%s" "%s"\n' % (rec["host"], rec["user"], stamp, rec["method"], target,
                                                         rec["protocol"], rec["status"], size, rec["referrer"],
                                                         rec["agent"])


IIS_FIELDS = ("date time s-sitename s-ip cs-method cs-uri-stem cs-uri-query s-port cs-username c-ip "
              "cs(User-Agent) cs(Referer) sc-status sc-substatus sc-win32-status sc-bytes cs-bytes time-taken")


def iis_header(when):
    return ("#Software: Microsoft Internet Information Services 6.0\r\n#Version: 1.0\r\n"
            "#Date: %s\r\n#Fields: %s\r\n" % (when.strftime("%Y-%m-%d %H:%M:%S"), IIS_FIELDS))


def iis_line(rng, when, rec):
    user = "EXAMPLE\\" + rec["user"] if rec["user"] != "-" else "-"
    agent = rec["agent"].replace(" ", "+")
    size = rec["size"] if rec["status"] != 304 else 143 + rng.randint(0, 40)
    return "%s %s W3SVC1 10.0.0.5 %s %s %s 80 %s %s %s %s %d 0 0 %d %d %d\r\n" % (
        when.strftime("%Y-%m-%d"), when.strftime("%H:%M:%S"), rec["method"], rec["path"], rec["query"] or "-", user,
        rec["host"], agent, rec["referrer"], rec["status"], size, rng.randint(250, 620), rng.randint(0, 900))


def write_apache(path, hits):
    with open(path, "w", encoding="utf-8", newline="") as out:
        for when, rec in hits:
            out.write(apache_line(when, rec))


def write_iis(path, rng, hits, restart):
    with open(path, "w", encoding="utf-8", newline="") as out:
        out.write(iis_header(hits[0][0]))
        restarted = False
        for when, rec in hits:
            if not restarted and when >= restart:
                # The service was restarted: IIS writes its directives again.
                out.write(iis_header(when))
                restarted = True
            out.write(iis_line(rng, when, rec))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--out", default=os.path.join(here, "..", "resources", "Sample"))
    parser.add_argument("--seed", type=int, default=DEFAULT_SEED)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)

    rng = random.Random(args.seed)
    apache = Traffic(rng, APACHE_SITE, True).run(datetime.date(2007, 3, 5), 42, 11)
    write_apache(os.path.join(args.out, "sample1.log"), apache)

    # c-ip holds addresses only (IIS does no reverse lookups by default).
    iis = Traffic(rng, IIS_SITE, False).run(datetime.date(2007, 4, 2), 28, 12)
    write_iis(os.path.join(args.out, "sample2.log"), rng, iis, datetime.datetime(2007, 4, 16, 3, 12, 0))


if __name__ == "__main__":
    main()
