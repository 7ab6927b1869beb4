#!/usr/bin/env bash
# The page host against a static web server: `vorlintex serve` renders the entry page, nginx
# serves the same bytes as a static file, both on loopback; wrk loads each in turn.
#
#   bench/page_host.sh [path/to/vorlintex]
#
# Installs nginx and wrk (Debian's packages) when missing. nginx runs as the current user with
# its own configuration in a temporary folder, on a free port; everything it and the page host
# started is stopped, and the folder removed, on exit. The two servers are loaded in turn,
# ROUNDS times, and the medians compared. Settings: ROUNDS (3), CONNECTIONS (64), THREADS (2),
# DURATION (10s); WRK_LOG names a file that receives wrk's full output.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
vorlintex="${1:-$here/../build-bench/app/vorlintex}"
connections="${CONNECTIONS:-64}"
threads="${THREADS:-2}"
duration="${DURATION:-10s}"
rounds="${ROUNDS:-3}"

if [[ ! -x "$vorlintex" ]]; then
  echo "page_host.sh: no vorlintex executable at $vorlintex (run bench/run.sh, or pass its path)" >&2
  exit 1
fi

install_missing() {
  local missing=()
  command -v nginx >/dev/null 2>&1 || [[ -x /usr/sbin/nginx ]] || missing+=(nginx)
  command -v wrk >/dev/null 2>&1 || missing+=(wrk)
  command -v curl >/dev/null 2>&1 || missing+=(curl)
  ((${#missing[@]} == 0)) && return 0
  local sudo=()
  ((EUID == 0)) || sudo=(sudo)
  echo "installing ${missing[*]}" >&2
  "${sudo[@]}" apt-get update -qq
  # No init scripts on package installation: the packaged nginx service must not start.
  RUNLEVEL=1 DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}
install_missing
nginx_bin="$(command -v nginx || echo /usr/sbin/nginx)"

work="$(mktemp -d /tmp/vorlintex-bench-pagehost.XXXXXX)"
serve_pid=""
nginx_pid=""
nginx_pid_file="$work/nginx.pid"
stop() {
  if [[ -n "$1" ]] && kill -0 "$1" 2>/dev/null; then
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
  fi
}
cleanup() {
  stop "$serve_pid"
  stop "$nginx_pid"
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
free_port() {
  local port
  for port in $(seq "$1" $(($1 + 200))); do
    if ! port_in_use "$port"; then
      echo "$port"
      return 0
    fi
  done
  echo "page_host.sh: no free port from $1" >&2
  return 1
}
wait_for() {
  for _ in $(seq 100); do
    curl -fsS -o /dev/null "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "page_host.sh: nothing answers at $1" >&2
  return 1
}

serve_port="$(free_port 18180)"
# No token: wrk cannot take the cookie from a redirect, and the check costs a string compare.
"$vorlintex" serve --listen "127.0.0.1:$serve_port" --quiet --no-token >"$work/serve.log" 2>&1 &
serve_pid=$!
serve_url="http://127.0.0.1:$serve_port/morvane.asp"
wait_for "$serve_url"

# The static file: exactly the bytes the page host sends for the entry page.
mkdir -p "$work/html" "$work/logs" "$work/temp"
curl -fsS -o "$work/html/morvane.html" "$serve_url"

nginx_port="$(free_port $((serve_port + 1)))"
# Its workers run as the current user (nginx started by root would otherwise switch to nobody).
user_line=""
((EUID == 0)) && user_line="user root;"
cat >"$work/nginx.conf" <<EOF
$user_line
daemon off;
worker_processes 1;
pid $nginx_pid_file;
error_log $work/logs/error.log warn;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $work/temp/body;
  proxy_temp_path $work/temp/proxy;
  fastcgi_temp_path $work/temp/fastcgi;
  uwsgi_temp_path $work/temp/uwsgi;
  scgi_temp_path $work/temp/scgi;
  server {
    listen 127.0.0.1:$nginx_port;
    root $work/html;
    location = /morvane.asp {
      default_type "text/html; charset=iso-8859-1";
      try_files /morvane.html =404;
    }
  }
}
EOF
"$nginx_bin" -p "$work" -c "$work/nginx.conf" -e "$work/logs/error.log" &
nginx_pid=$!
nginx_url="http://127.0.0.1:$nginx_port/morvane.asp"
wait_for "$nginx_url"
if ! cmp -s <(curl -fsS "$nginx_url") "$work/html/morvane.html"; then
  echo "page_host.sh: nginx does not serve the entry page's bytes" >&2
  exit 1
fi

# One wrk load; prints "requests/s p50_ms p99_ms failed".
load() {
  local out
  out="$(wrk -t"$threads" -c"$connections" -d"$duration" --latency "$1")"
  [[ -n "${WRK_LOG:-}" ]] && echo "$out" >>"$WRK_LOG"
  awk '
    function ms(v) {
      if (v ~ /us$/) return v / 1000
      if (v ~ /ms$/) return v + 0
      if (v ~ /s$/) return v * 1000
      return v
    }
    /Requests\/sec:/ { rps = $2 }
    /^ +50%/ { p50 = ms($2) }
    /^ +99%/ { p99 = ms($2) }
    /Non-2xx or 3xx responses:/ { failed += $5 }
    /Socket errors:/ { for (i = 3; i <= NF; i += 2) failed += $(i + 1) }
    END { printf "%s %.3f %.3f %d\n", rps, p50, p99, failed }
  ' <<<"$out"
}

bytes="$(wc -c <"$work/html/morvane.html")"
echo "entry page: $bytes bytes; wrk $threads threads, $connections connections, $duration each," \
  "$rounds rounds, the two servers in turn"
printf "%-6s %-10s %12s %10s %10s %8s\n" round server requests/s p50_ms p99_ms failed
: >"$work/results"
# A short load first, not counted: the page host starts its connection threads on demand.
for url in "$serve_url" "$nginx_url"; do
  wrk -t"$threads" -c"$connections" -d2s "$url" >/dev/null
done
for round in $(seq "$rounds"); do
  for server in vorlintex nginx; do
    url="$serve_url"
    [[ "$server" == nginx ]] && url="$nginx_url"
    read -r rps p50 p99 failed < <(load "$url")
    printf "%-6s %-10s %12.0f %10.3f %10.3f %8d\n" "$round" "$server" "$rps" "$p50" "$p99" "$failed"
    echo "$server $rps $p50 $p99 $failed" >>"$work/results"
  done
done
# Medians over the rounds; failed requests are summed.
awk '
  function median(list, n,   i, j, t) {
    for (i = 2; i <= n; i++) for (j = i; j > 1 && list[j - 1] > list[j]; j--) {
      t = list[j]; list[j] = list[j - 1]; list[j - 1] = t
    }
    return n % 2 ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
  }
  { n[$1]++; rps[$1, n[$1]] = $2; p50[$1, n[$1]] = $3; p99[$1, n[$1]] = $4; failed[$1] += $5 }
  END {
    for (s in n) {
      for (i = 1; i <= n[s]; i++) { a[i] = rps[s, i]; b[i] = p50[s, i]; c[i] = p99[s, i] }
      m_rps[s] = median(a, n[s]); m_p50[s] = median(b, n[s]); m_p99[s] = median(c, n[s])
      printf "median %-10s %12.0f %10.3f %10.3f %8d\n", s, m_rps[s], m_p50[s], m_p99[s], failed[s]
    }
    printf "vorlintex / nginx requests/s: %.2f (goal at least 0.9); vorlintex p99 %.3f ms " \
           "(goal under 5 ms; nginx %.3f ms); failed %d (goal 0)\n",
           m_rps["vorlintex"] / m_rps["nginx"], m_p99["vorlintex"], m_p99["nginx"],
           failed["vorlintex"]
  }
' "$work/results"
