-- Wireshark dissector for the LinkPanel router protocol (UDP port 7000, group 234.2.3.4).
-- Install: copy to ~/.local/lib/wireshark/plugins/ (or run wireshark -X lua_script:linkpanel.lua).

local proto = Proto("linkpanel", "LinkPanel router protocol")

local KINDS = { [1] = "Request", [2] = "Reply", [3] = "Set" }
local OPCODES = {
    [0x01] = "Discover",
    [0x1F] = "Set configuration",
    [0x29] = "Get router information",
    [0x2A] = "Get settings",
    [0x2B] = "Get Internet status",
    [0x33] = "Router information",
    [0x34] = "Settings",
    [0x35] = "Internet status",
}
local WEP = { [0] = "Disabled", [1] = "Enabled" }
local REBOOT_TEXT = "kopanirsuvetha5273zugmal468135"

local f = {
    addressee = ProtoField.ipv4("linkpanel.addressee", "Addressee"),
    kind = ProtoField.uint8("linkpanel.kind", "Kind", base.DEC, KINDS),
    opcode = ProtoField.uint8("linkpanel.opcode", "Opcode", base.HEX, OPCODES),
    length = ProtoField.uint16("linkpanel.length", "Payload length", base.DEC),
    magic = ProtoField.string("linkpanel.magic", "Magic"),
    ssid = ProtoField.string("linkpanel.ssid", "SSID"),
    channel = ProtoField.uint8("linkpanel.channel", "Channel", base.DEC),
    wep = ProtoField.uint8("linkpanel.wep", "WEP", base.DEC, WEP),
    name = ProtoField.string("linkpanel.name", "Router name"),
    wan = ProtoField.string("linkpanel.wan", "Connection type"),
    password = ProtoField.string("linkpanel.password", "Password"),
    status = ProtoField.string("linkpanel.status", "Status word"),
    reboot = ProtoField.string("linkpanel.reboot", "Reboot text"),
}
proto.fields = f

local e_malformed = ProtoExpert.new("linkpanel.malformed", "Malformed datagram",
    expert.group.MALFORMED, expert.severity.ERROR)
local e_unknown = ProtoExpert.new("linkpanel.unknown", "Unknown kind or opcode",
    expert.group.PROTOCOL, expert.severity.WARN)
local e_unterminated = ProtoExpert.new("linkpanel.unterminated", "Text not terminated within its field",
    expert.group.MALFORMED, expert.severity.WARN)
proto.experts = { e_malformed, e_unknown, e_unterminated }

-- A zero-terminated text in a field of `width` bytes, or up to the datagram's end (nil).
local function text(tree, field, tvb, offset, width)
    local available = tvb:len() - offset
    if available <= 0 then
        tree:add_proto_expert_info(e_malformed, "datagram ends before the " .. field.name)
        return nil
    end
    local span = width and math.min(width, available) or available
    local range = tvb(offset, span)
    local raw = range:raw()
    local zero = raw:find("\0", 1, true)
    local value = zero and raw:sub(1, zero - 1) or raw
    local item = tree:add(field, range, value)
    if width and #value == span then
        if span == width then
            item:add_proto_expert_info(e_unterminated)
        else
            item:add_proto_expert_info(e_malformed, "datagram ends inside the " .. field.name)
        end
    end
    return value
end

local function need(tree, tvb, bytes, what)
    if tvb:len() < bytes then
        tree:add_proto_expert_info(e_malformed, what .. " needs " .. bytes .. " bytes, has " .. tvb:len())
        return false
    end
    return true
end

function proto.dissector(tvb, pinfo, root)
    pinfo.cols.protocol = "LINKPANEL"
    local tree = root:add(proto, tvb())
    local n = tvb:len()

    if n == #REBOOT_TEXT and tvb():string() == REBOOT_TEXT then
        tree:add(f.reboot, tvb())
        pinfo.cols.info = "Reboot"
        return n
    end
    if not need(tree, tvb, 8, "header") then
        pinfo.cols.info = "Malformed (" .. n .. " bytes)"
        return n
    end

    local a = tvb(0, 4)
    -- The addressee carries the address with its octets reversed.
    local shown = string.format("%d.%d.%d.%d", a(3, 1):uint(), a(2, 1):uint(), a(1, 1):uint(), a(0, 1):uint())
    tree:add(f.addressee, a, Address.ip(shown)):append_text(" (octets reversed on the wire)")
    local kind = tvb(4, 1):uint()
    local opcode = tvb(5, 1):uint()
    tree:add(f.kind, tvb(4, 1))
    tree:add(f.opcode, tvb(5, 1))
    tree:add_le(f.length, tvb(6, 2))
    local summary = (KINDS[kind] or ("Kind " .. kind)) .. ": " .. (OPCODES[opcode] or string.format("opcode 0x%02x", opcode))

    if kind == 1 then
        if opcode == 0x01 then
            if need(tree, tvb, 16, "discover request") then
                local m = tvb(8, 8):string()
                local item = tree:add(f.magic, tvb(8, 8))
                if m ~= "ROLVARNS" then item:add_proto_expert_info(e_malformed, "wrong magic") end
            end
        elseif opcode == 0x29 or opcode == 0x2A or opcode == 0x2B then
            if n ~= 8 then tree:add_proto_expert_info(e_malformed, "request with a payload") end
        else
            tree:add_proto_expert_info(e_unknown)
        end
    elseif kind == 3 then
        if opcode == 0x1F and need(tree, tvb, 58, "set command") then
            local p = text(tree, f.password, tvb, 8, 16)
            local s = text(tree, f.ssid, tvb, 24, 33)
            tree:add(f.channel, tvb(57, 1))
            summary = summary .. string.format(" ssid=%s channel=%d", s or "", tvb(57, 1):uint())
        elseif opcode ~= 0x1F then
            tree:add_proto_expert_info(e_unknown)
        end
    elseif kind == 2 then
        if opcode == 0x01 then
            if need(tree, tvb, 16, "discovery reply") then
                local item = tree:add(f.magic, tvb(8, 8))
                if tvb(8, 8):string() ~= "TAVOTAVO" then item:add_proto_expert_info(e_malformed, "wrong magic") end
            end
        elseif opcode == 0x33 then
            if need(tree, tvb, 76, "router information") then
                local s = text(tree, f.ssid, tvb, 8, 33)
                tree:add(f.channel, tvb(41, 1))
                local wep = tree:add(f.wep, tvb(42, 1))
                if tvb(42, 1):uint() > 1 then wep:add_proto_expert_info(e_unknown, "WEP state neither 0 nor 1") end
                text(tree, f.name, tvb, 43, 32)
                local w = text(tree, f.wan, tvb, 75, nil)
                summary = summary .. string.format(" ssid=%s wan=%s", s or "", w or "")
            end
        elseif opcode == 0x34 then
            if need(tree, tvb, 9, "settings reply") then text(tree, f.password, tvb, 8, nil) end
        elseif opcode == 0x35 then
            if need(tree, tvb, 12, "status reply") then
                local item = tree:add(f.status, tvb(8, 4))
                local w = tvb(8, 4):string()
                if w ~= "PASS" and w ~= "FAIL" then item:add_proto_expert_info(e_unknown, "status word neither PASS nor FAIL") end
                summary = summary .. " " .. w
            end
        else
            tree:add_proto_expert_info(e_unknown)
        end
    else
        tree:add_proto_expert_info(e_unknown)
    end
    pinfo.cols.info = summary .. " to " .. shown
    return n
end

DissectorTable.get("udp.port"):add(7000, proto)
