#!/usr/bin/env bash
# The cva_preset module on a sandbox of localhost: check mode changes nothing, the first
# run changes the sandbox and says so, the second run finds nothing to change.
set -euo pipefail
cli=$1 contrib=$2 plugins=$3
command -v ansible-playbook >/dev/null || { echo "ansible-playbook is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data HOME=$work/home
export ANSIBLE_LOCAL_TEMP=$work/ansible-local ANSIBLE_REMOTE_TEMP=$work/ansible-remote
export ANSIBLE_LIBRARY=$contrib/library ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0
mkdir -p "$HOME"

cat >"$work/test.preset" <<'PRESET'
corvanta-preset 1
plugin "menu_delay.cvp"
    text 0 "123"
plugin "explorer_files.cvp"
    check 0 1
PRESET

cat >"$work/inventory.ini" <<INVENTORY
localhost ansible_connection=local ansible_python_interpreter=/usr/bin/python3
INVENTORY

cat >"$work/test.yml" <<PLAYBOOK
- hosts: localhost
  gather_facts: false
  vars:
    args: &args
      preset: $work/test.preset
      targets: ["sandbox:$work/box"]
      cli: $cli
      plugins: $plugins
  tasks:
    - name: check mode
      cva_preset: *args
      check_mode: true
      register: checked
    - name: the journal after check mode
      command:
        argv: ["$cli", "history", "--json"]
      register: history
      changed_when: false
    - name: first run
      cva_preset: *args
      register: first
    - name: second run
      cva_preset: *args
      register: second
    - assert:
        that:
          - checked.changed
          - checked.result is not defined
          - checked.dry_run.changes > 0
          - history.stdout == "[]"
          - first.changed
          - first.result.failures == 0
          - first.result.targets[0].changes == checked.dry_run.changes
          - not second.changed
          - second.dry_run.changes == 0
PLAYBOOK

ansible-playbook -i "$work/inventory.ini" "$work/test.yml"
# The sandbox holds what the preset asked for.
"$cli" --target "sandbox:$work/box" --plugins "$plugins" show menu_delay.cvp | grep 123 >/dev/null
